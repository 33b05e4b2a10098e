// The catalogue's data: every setting with its texts, exactly as the device's
// documentation words them (blanks and Latin letters included).
#include <string>

#include "settings/catalogue_data.h"

namespace qvx::catalogue_data {
namespace {

using Options = std::vector<std::string_view>;

const Options kLoopModes = {"0 - Выкл", "1 - Контроль шлейфа", "2 - На замыкание", "3 - На обрыв"};

const Options kZone6LoopModes = {"0 - Выкл",
                                 "1 - Пост./снят. с охраны кнопкой ",
                                 "2 - На замыкание",
                                 "3 - На обрыв",
                                 "4 - Тревожная кнопка  - приоритетный режим",
                                 "5 - Пост./снят. с охраны тумблером"};

const Options kGroups = {"1 - Группа 1", "2 - Группа 2", "3 - Группа 3",          "4 - Группа 4",
                         "5 - Группа 5", "6 - Группа 6", "7 - Всегда под охраной"};

const Options kDelays = {"0 сек.",  "10 сек.", "20 сек.", "30 сек.", "40 сек.",
                         "50 сек.", "60 сек.", "70 сек.", "80 сек.", "90 сек."};

Options OutputModes(std::string_view own_function) {
  return {"0 - Только команды",
          own_function,
          "2 - индикация состояния 1 группы",
          "3 - индикация состояния 2 группы",
          "4 - индикация состояния 3 группы",
          "5 - индикация состояния 4 группы",
          "6 - индикация состояния 5 группы",
          "7 - индикация состояния 6 группы",
          "8 - индикация состояния 7 группы"};
}

const Options kPulseModes = {"0 - Не работает",
                             "1 - Работает для выхода №5",
                             "2 - Работает для выхода №5, №4",
                             "3 - Работает для выхода №5, №4, №3",
                             "4 - Работает для выхода №5, №4, №3, №2",
                             "5 - Работает для выхода №5, №4, №3, №2, №1"};

const Options kRecipients = {"0 - Не отправляются",
                             "1 - Отправляются 1-му абоненту",
                             "2 - Отправляются 1-му и 2-му абоненту",
                             "3 - Отправляются 1-му, 2-му и 3-му абоненту",
                             "4 - Отправляются абонентам с 1 по 4",
                             "5 - Отправляются абонентам с 1 по 5",
                             "6 - Отправляются абонентам с 1 по 6",
                             "7 - Отправляются абонентам с 1 по 7",
                             "8 - Отправляются абонентам с 1 по 8",
                             "9 - Отправляются абонентам с 1 по 9"};

const Options kAnnouncements = {"0 - Не информировать", "1 - Информировать только о звонках",
                                "2 - Информировать только о SMS",
                                "3 - Информировать о звонках и SMS"};

const Options kSirenTimes = {"0 - сирена звучит до первого удачного дозвона",
                             "1 - 30 сек. после удачного дозвона",
                             "2 - 60 сек. после удачного дозвона",
                             "3 - 90 сек. после удачного дозвона",
                             "4 - 120 сек. после удачного дозвона",
                             "5 - 150 сек. после удачного дозвона",
                             "6 - 180 сек. после удачного дозвона",
                             "7 - 210 сек. после удачного дозвона",
                             "8 - 240 сек. после удачного дозвона",
                             "9 - сирена звучит 360 сек."};

const Options kArmingConfirmation = {"0 - Не работает", "1 - Работает только постановка",
                                     "2 - Работает и постановка, и снятие"};

const Options kCountdown = {"0 - Не работает", "1 - Работает только постановка",
                            "2 - Работает только снятие", "3 - Работает и постановка, и снятие"};

const Options kSirenReset = {"0 - Сирена сбрасывается для каждой группы отдельно",
                             "1 - Сирена сбрасывается для всех групп одновременно"};

const Options kSpeaker = {"0 - Встроенный динамик отключен", "1 - Встроенный динамик включен"};

const Options kSmsAcceptance = {"0 - От всех, проверяется только пароль",
                                "1 - Принимать SMS только от 1-го абонента",
                                "2 - Принимать SMS только от 1-го и 2-го абонента",
                                "3 - Принимать SMS только от 1-го, 2-го и 3-го абонента",
                                "4 - Принимать SMS только от абонентов с 1 по 4",
                                "5 - Принимать SMS только от абонентов с 1 по 5",
                                "6 - Принимать SMS только от абонентов с 1 по 6",
                                "7 - Принимать SMS только от абонентов с 1 по 7",
                                "8 - Принимать SMS только от абонентов с 1 по 8",
                                "9 - Принимать SMS только от абонентов с 1 по 9"};

const Options kJammingDetector = {"0 - Не работает",
                                  "1 - Работает, оповещение только по SMS абонента №1",
                                  "2 - Работает, оповещение по SMS абонента №1 и включение сирены"};

const Options kCallAcceptance = {"0 - Не принимает никаких звонков",
                                 "1 - Принимает звонок от 1-го абонента",
                                 "2 - Принимает звонок от 1-го и 2-го абонента",
                                 "3 - Принимает звонок от 1-го, 2-го и 3-го абонента",
                                 "4 - Принимает звонок от абонентов с 1 по 4",
                                 "5 - Принимает звонок от абонентов с 1 по 5",
                                 "6 - Принимает звонок от абонентов с 1 по 6",
                                 "7 - Принимает звонок от абонентов с 1 по 7",
                                 "8 - Принимает звонок от абонентов с 1 по 8",
                                 "9 - Принимает звонок от абонентов с 1 по 9"};

const Options kDtmf = {"0 - Не работает", "1 - Работает"};

const Options kIButton = {"0 - Вход i-Button не работает", "1 - Работает, как вход для ключей",
                          "2 - Работает, как вход датчика температуры"};

const Options kAlarmCalls = {"0 - Не осуществляется",
                             "1 - Звонок  1-му абоненту",
                             "2 - Звонок  1-му и 2-му абоненту",
                             "3 - Звонок  1-му, 2-му и 3-му абоненту",
                             "4 - Звонок  абонентам с 1 по 4",
                             "5 - Звонок  абонентам с 1 по 5",
                             "6 - Звонок  абонентам с 1 по 6",
                             "7 - Звонок  абонентам с 1 по 7",
                             "8 - Звонок  абонентам с 1 по 8",
                             "9 - Звонок  абонентам с 1 по 9"};

const Options kOnOff = {"0 - Выключено", "1 - Включено"};

const Options kVoiceCalls = {"0 - Не работает",
                             "1 - Работает, дозвон 1-му абоненту",
                             "2 - Работает, дозвон 1-му и 2-му абоненту",
                             "3 - Работает, дозвон 1-му, 2-му и 3-му абоненту",
                             "4 - Работает, дозвон абонентам с 1 по 4",
                             "5 - Работает, дозвон абонентам с 1 по 5",
                             "6 - Работает, дозвон абонентам с 1 по 6",
                             "7 - Работает, дозвон абонентам с 1 по 7",
                             "8 - Работает, дозвон абонентам с 1 по 8",
                             "9 - Работает, дозвон абонентам с 1 по 9"};

const Options kObjectNames = {"1 - Дом",   "2 - Квартира", "3 - Дача",
                              "4 - Гараж", "5 - Офис",     "6 - Магазин",
                              "7 - Киоск", "8 - Склад",    "9 - Автомобиль"};

Options SensorNames(std::string_view own_zone) {
  return {"0 - Сработал датчик движения",
          "1 - Сработал датчик открытия двери",
          "2 - Сработал датчик открытия окна",
          "3 - Сработал датчик дыма",
          "4 - Сработал датчик разбития стекла",
          "5 - Сработала тревожная кнопка",
          "6 - Сработал датчик газа",
          "7 - Сработал датчик пролива воды",
          own_zone};
}

const Options kStayOnLine = {
    "0 - Оставаться на линии - выключено", "1 - Оставаться на линии 10 сек.",
    "2 - Оставаться на линии 20 сек.",     "3 - Оставаться на линии 30 сек.",
    "4 - Оставаться на линии 40 сек.",     "5 - Оставаться на линии 50 сек.",
    "6 - Оставаться на линии 60 сек.",     "7 - Оставаться на линии 70 сек.",
    "8 - Оставаться на линии 80 сек.",     "9 - Оставаться на линии 90 сек."};

const Options kIncomingCallReaction = {
    "0 - Снять трубку, оставаться на линии ",
    "1 - Снять трубку, оповестить голосом, оставаться на линии",
    "2 - Трубку не снимать, производиться постановка/снятие 1 группы"};

// Entries 2..6 name access points of mobile operators.
const Options kAccessPoints = {"0 - Соединение с сервером запрещено",
                               "1 - internet",
                               "2 - www.kyivstar.net",
                               "3 - www.umc.ua",
                               "4 - internet.life.com.ua",
                               "5 - internet.mts.ru",
                               "6 - internet.beeline.ru"};

const Options kLinkChecks = {"0 - 30 сек.",  "1 - 60 сек.",  "2 - 90 сек.",  "3 - 120 сек.",
                             "4 - 150 сек.", "5 - 180 сек.", "6 - 210 сек.", "7 - 240 сек.",
                             "8 - 270 сек.", "9 - 300 сек."};

const Options kExternalLed = {
    "0 - Внешний светодиод выключен",   "1 - индикация состояния 1 группы",
    "2 - индикация состояния 2 группы", "3 - индикация состояния 3 группы",
    "4 - индикация состояния 4 группы", "5 - индикация состояния 5 группы",
    "6 - индикация состояния 6 группы", "7 - индикация состояния ВСЕХ групп",
    "8 - индикация состояния 7 группы"};

const Options kButtonDeadTimes = {"0 - 0 сек.", "1 - 1 сек.", "2 - 2 сек.", "3 - 3 сек.",
                                  "4 - 4 сек.", "5 - 5 сек.", "6 - 6 сек.", "7 - 7 сек.",
                                  "8 - 8 сек.", "9 - 9 сек."};

const Options kTamper = {"0 - Тампер не контролируется", "1 - Тампер контролируется"};

const Options kRoaming = {"0 - Роуминг запрещен", "1 - Приоритет МТС", "2 - Приоритет Київстар",
                          "3 - Приоритет Life", "4 - Роуминг разрешен"};

constexpr std::string_view kZonesTab = "Зоны";
constexpr std::string_view kOutputsTab = "Выходы и Т";
constexpr std::string_view kSmsTab = "Отправка SMS";
constexpr std::string_view kSoundTab = "Звук";
constexpr std::string_view kDtmfTab = "SMS, DTMF,  i-Button";
constexpr std::string_view kVoiceCallsTab = "Голосовые функции, дозвон";
constexpr std::string_view kVoiceTab = "Голосовые функции";
constexpr std::string_view kMiscTab = "Разное";
constexpr std::string_view kMisc2Tab = "Разное (2)";
constexpr std::string_view kSubscribersTab = "Список аб.";

SettingInfo List(std::string_view name, std::string_view tab, int group, int item,
                 std::string_view caption, Options options, int default_index,
                 std::string_view hint = {}) {
  SettingInfo s;
  s.name = name;
  s.kind = SettingKind::List;
  s.tab = tab;
  s.group = group;
  s.item = item;
  s.caption = caption;
  s.hint = hint;
  s.options = std::move(options);
  s.default_value = default_index;
  return s;
}

SettingInfo Slider(std::string_view name, std::string_view tab, int group, int item,
                   std::string_view caption, int minimum, int maximum, int default_position,
                   std::string_view value_label) {
  SettingInfo s;
  s.name = name;
  s.kind = SettingKind::Slider;
  s.tab = tab;
  s.group = group;
  s.item = item;
  s.caption = caption;
  s.minimum = minimum;
  s.maximum = maximum;
  s.default_value = default_position;
  s.value_label = value_label;
  return s;
}

SettingInfo Radio(std::string_view name, std::string_view tab, int group, int item,
                  std::string_view caption, std::vector<RadioButtonInfo> buttons,
                  int default_number) {
  SettingInfo s;
  s.name = name;
  s.kind = SettingKind::Radio;
  s.tab = tab;
  s.group = group;
  s.item = item;
  s.caption = caption;
  s.buttons = std::move(buttons);
  s.default_value = default_number;
  return s;
}

SettingInfo Text(std::string_view name, int item, std::string_view caption,
                 std::string_view default_text) {
  SettingInfo s;
  s.name = name;
  s.kind = SettingKind::Text;
  s.tab = kSubscribersTab;
  s.item = item;
  s.caption = caption;
  s.default_text = default_text;
  return s;
}

// A setting framed in a box of its own.
SettingInfo Boxed(SettingInfo s) {
  s.placement = Placement::OwnBox;
  return s;
}

// A temperature slider with the labels under its ends.
SettingInfo WithEndLabels(SettingInfo s, std::string_view min_label, std::string_view max_label) {
  s.min_label = min_label;
  s.max_label = max_label;
  return s;
}

void AddZoneTable(std::vector<SettingInfo>& all) {
  static const std::string_view kZoneLabels[] = {"Зона 1", "Зона 2", "Зона 3",
                                                 "Зона 4", "Зона 5", "Зона 6"};
  // The catalogue keeps views of the names, so they live as long as it does.
  static const std::vector<std::vector<std::string>> kNames = [] {
    std::vector<std::vector<std::string>> names(4);
    for (int group = 1; group <= 4; ++group)
      for (int zone = 1; zone <= 6; ++zone)
        names[group - 1].push_back(ZoneControlName(zone, group));
    return names;
  }();
  for (int zone = 1; zone <= 6; ++zone) {
    SettingInfo s =
        List(kNames[0][zone - 1], kZonesTab, 1, zone, kZoneLabels[zone - 1], kGroups, 0);
    s.device_counts_from_one = true;
    all.push_back(std::move(s));
  }
  for (int zone = 1; zone <= 6; ++zone)
    all.push_back(List(kNames[1][zone - 1], kZonesTab, 2, zone, kZoneLabels[zone - 1],
                       zone == 6 ? kZone6LoopModes : kLoopModes, 1));
  for (int zone = 1; zone <= 6; ++zone)
    all.push_back(List(kNames[2][zone - 1], kZonesTab, 3, zone, kZoneLabels[zone - 1], kDelays, 1));
  for (int zone = 1; zone <= 6; ++zone)
    all.push_back(List(kNames[3][zone - 1], kZonesTab, 4, zone, kZoneLabels[zone - 1], kDelays, 0));
}

}  // namespace

std::vector<SettingInfo> BuildCatalogue() {
  std::vector<SettingInfo> all;
  AddZoneTable(all);

  const auto outputs = kOutputsTab;
  all.push_back(
      List("ComboBox551", outputs, 5, 1, "Выход 1", OutputModes("1 - Cирену + команды"), 0));
  all.push_back(
      List("ComboBox552", outputs, 5, 2, "Выход 2", OutputModes("1 - динамик + команды"), 0));
  all.push_back(List("ComboBox553", outputs, 5, 3, "Выход 3",
                     OutputModes("1 - Вкл если T>Tmax + команды"), 0));
  all.push_back(List("ComboBox554", outputs, 5, 4, "Выход 4",
                     OutputModes("1 - Вкл если T<Tmin + команды"), 0));
  all.push_back(List("ComboBox555", outputs, 5, 5, "Выход 5",
                     OutputModes("1 - Вкл если Tmin<T<Tmax + команды"), 0));
  all.push_back(List("ComboBox556", outputs, 5, 6, "Импульсный режим работы", kPulseModes, 0));
  all.push_back(WithEndLabels(Slider(kHighThresholdSlider, outputs, 6, 1,
                                     "Порог высоких температур:", -50, 99, 0, "Label32"),
                              "Label39", "Label40"));
  all.push_back(WithEndLabels(Slider(kLowThresholdSlider, outputs, 6, 2,
                                     "Порог низкихтемператур:", -50, 99, -50, "Label43"),
                              "Label41", "Label42"));

  const auto sms = kSmsTab;
  all.push_back(List("ComboBox771", sms, 7, 1, "Отправка SMS при тревоге", kRecipients, 1));
  all.push_back(
      List("ComboBox772", sms, 7, 2, "Отправка SMS при постановке/снятии", kRecipients, 1));
  all.push_back(
      List("ComboBox773", sms, 7, 3, "Отправка SMS при пропадании/появлении 220В", kRecipients, 1));
  all.push_back(List("ComboBox774", sms, 7, 4, "Отправка SMS при разряде АКБ", kRecipients, 1));
  all.push_back(List("ComboBox775", sms, 7, 5,
                     "Информировать о входящих звонках и SMS через динамик", kAnnouncements, 1));
  all.push_back(List("ComboBox776", sms, 7, 6, "Отправка SMS при пересечении порогов температур",
                     kRecipients, 1));

  const auto sound = kSoundTab;
  all.push_back(List("ComboBox881", sound, 8, 1, "Время звучания сирены", kSirenTimes, 1));
  all.push_back(List("ComboBox882", sound, 8, 2, "Подтверждение постановка/снятия с охраны ",
                     kArmingConfirmation, 2));
  all.push_back(List("ComboBox883", sound, 8, 3, "Звуковой отсчет при  постановки/снятия с охраны",
                     kCountdown, 3));
  all.push_back(
      Slider("TrackBar884", sound, 8, 4, "Чувствительность аналогового входа", 0, 9, 9, "Label58"));
  all.push_back(List("ComboBox885", sound, 8, 5,
                     "Сброс сигнала сирены при постановке/снятии с охраны", kSirenReset, 1));
  all.push_back(
      List("ComboBox886", sound, 8, 6, "Включение/отключение встроенного динамика", kSpeaker, 1));

  const auto dtmf = kDtmfTab;
  all.push_back(List("ComboBox991", dtmf, 9, 1, "Принимать SMS", kSmsAcceptance, 1));
  all.push_back(
      List("ComboBox992", dtmf, 9, 2, "Детектор глушения GSM сигнала", kJammingDetector, 0));
  all.push_back(List("ComboBox993", dtmf, 9, 3, "Принимать звонки", kCallAcceptance, 1));
  all.push_back(List("ComboBox994", dtmf, 9, 4, "Функция декодирования DTMF команд", kDtmf, 1));
  all.push_back(List("ComboBox995", dtmf, 9, 5, "Режим работы входа i-Button", kIButton, 1));
  all.push_back(List("ComboBox996", dtmf, 9, 6, "Отправка SMS при повторном взятии под охрану ",
                     kRecipients, 1));

  const auto calls = kVoiceCallsTab;
  all.push_back(
      List("ComboBox10101", calls, 10, 1, "При тревоге дозвон осуществляется", kAlarmCalls, 1));
  all.push_back(
      Slider("TrackBar10102", calls, 10, 2, "Количество дозвонов при тревоге", 1, 9, 1, "Label70"));
  all.push_back(List("ComboBox10103", calls, 10, 3,
                     "Оповещение голосом о тревоге при дозвоне абоненту ", kOnOff, 1));
  all.push_back(List("ComboBox10104", calls, 10, 4,
                     "Оповещение голосом при постановке/снятии с охраны", kVoiceCalls, 1));
  all.push_back(List("ComboBox10105", calls, 10, 5,
                     "Оповещение голосом при  разяде АКБ, нал./проп. 220", kVoiceCalls, 1));
  SettingInfo object_name =
      List("ComboBox10106", calls, 10, 6, "Название объекта", kObjectNames, 0);
  object_name.device_counts_from_one = true;
  all.push_back(std::move(object_name));

  static const std::string_view kSensorCaptions[] = {
      "Название для датчика шлейфа №1", "Название для датчика шлейфа №2",
      "Название для датчика шлейфа №3", "Название для датчика шлейфа №4",
      "Название для датчика шлейфа №5", "Название для датчика шлейфа №6"};
  static const std::string_view kZoneAlarms[] = {"8 - Тревога! Зона 1", "8 - Тревога! Зона 2",
                                                 "8 - Тревога! Зона 3", "8 - Тревога! Зона 4",
                                                 "8 - Тревога! Зона 5", "8 - Тревога! Зона 6"};
  static const std::string_view kSensorLists[] = {"ComboBox11111", "ComboBox11112",
                                                  "ComboBox11113", "ComboBox11114",
                                                  "ComboBox11115", "ComboBox11116"};
  for (int item = 1; item <= 6; ++item)
    all.push_back(List(kSensorLists[item - 1], calls, 11, item, kSensorCaptions[item - 1],
                       SensorNames(kZoneAlarms[item - 1]), 0));

  const auto voice = kVoiceTab;
  SettingInfo stay_after_alarm =
      List("ComboBox12121", voice, 12, 1, "после оповещения о тревоге (дозвон абоненту)  ",
           kStayOnLine, 1);
  stay_after_alarm.heading = "Оставаться на линии после оповещения:  ";  // items 1..3 continue it
  all.push_back(std::move(stay_after_alarm));
  all.push_back(List("ComboBox12122", voice, 12, 2,
                     "после оповещения о постановке (снятии) на охрану", kStayOnLine, 1));
  all.push_back(List("ComboBox12123", voice, 12, 3,
                     "при звонке на устройство (для разрешенных абон.)", kStayOnLine, 1,
                     "Работает, если разрешен подъем трубки в Set12 пункт 4"));
  all.push_back(List("ComboBox12124", voice, 12, 4, "Реакция на входящий звонок на устройство",
                     kIncomingCallReaction, 1, "для разрешенных в блоке Set09 пункт 3 абонентов"));
  all.push_back(List("ComboBox12125", voice, 12, 5,
                     "Оставаться на линии после сообщения о разряде АКБ,\n нал./проп. 220",
                     kStayOnLine, 1));
  all.push_back(Slider("TrackBar12126", voice, 12, 6,
                       "Количество дозвонов при оповещении о разряде АКБ,\nнал./проп. 220", 1, 9, 1,
                       "Label84"));

  const auto misc = kMiscTab;
  all.push_back(Boxed(Radio(
      "Set13.1", misc, 13, 1, "Изменение порядка дозвона при постановке/снятии с охраны  ",
      {{"RadioButton131311", "нет изменения порядка, дозвон по списку Set10 пункт 4"},
       {"RadioButton131312", "дозвон производить только инициатору постановки/снятия с охраны"},
       {"RadioButton131313",
        "первый дозвон  производить инициатору постановки/снятия с охраны, если "
        "дозвон не удачный далее по списку Set10 пункт 4"}},
      0)));
  all.push_back(
      Boxed(Radio("Set13.2", misc, 13, 2, "Изменение порядка дозвона при тревоге",
                  {{"RadioButton131321", "нет изменений, дозвон по списку Set10 пункт "},
                   {"RadioButton131322",
                    "первый дозвон  производить инициатору постановки на охрану, если дозвон не "
                    "удачный далее по списку Set10 пункт 1"}},
                  0)));
  all.push_back(Boxed(List("ComboBox13133", misc, 13, 3, "APN (PRO версия)", kAccessPoints, 1,
                           "только для версии PRO ")));
  all.push_back(Boxed(Radio(
      "Set13.4", misc, 13, 4, "Реакция на повторное срабатывание датчика",
      {{"RadioButton131341", "нет реакции на повторное срабатывание датчика в режиме тревоги"},
       {"RadioButton131342", "отработать повторное срабатывание датчика в режиме тревоги"}},
      1)));
  all.push_back(Boxed(List("ComboBox13135", misc, 13, 5,
                           "Частота контроля наличия связи с пультом или сервером (PRO версия) ",
                           kLinkChecks, 0, "только для версии PRO")));
  all.push_back(
      Boxed(List("ComboBox13136", misc, 13, 6, "Управление внешним светодиодом", kExternalLed, 7)));

  SettingInfo storage = Boxed(
      Radio("Set14.1", kSubscribersTab, 14, 1, "Хранение настроек",
            {{"RadioButton141411", "На SIM-карте"}, {"RadioButton141412", "В устройстве"}}, 1));
  storage.column = 1;  // below password, address and port
  all.push_back(std::move(storage));
  const auto misc2 = kMisc2Tab;
  all.push_back(
      Boxed(List("ComboBox14142", misc2, 14, 2, "Время нечувствительности кнопки постановки/снятия",
                 kButtonDeadTimes, 1)));
  all.push_back(
      Boxed(List("ComboBox14143", misc2, 14, 3, "Контроль тампера: (PRO версия)", kTamper, 0)));
  all.push_back(Boxed(List("ComboBox14144", misc2, 14, 4, "Роуминг", kRoaming, 4)));

  static const std::string_view kSubscriberFields[] = {
      "Edit16", "Edit17", "Edit18", "Edit19", "Edit20", "Edit21", "Edit22", "Edit23", "Edit24"};
  static const std::string_view kSubscriberCaptions[] = {
      "Abon01: ", "Abon02: ", "Abon03: ", "Abon04: ", "Abon05: ",
      "Abon06: ", "Abon07: ", "Abon08: ", "Abon09: "};
  for (int k = 0; k < 9; ++k)
    all.push_back(Text(kSubscriberFields[k], k + 1, kSubscriberCaptions[k], "+380501234567"));
  // Password, address and port stand right of the subscribers; the four
  // parts of the address share one row behind one caption.
  const std::size_t right_column = all.size();
  all.push_back(Text("Edit25", 10, "Пароль/номер прибора: ", "7391"));
  all.push_back(Text("Edit26", 11, "IP: ", "000"));
  all.push_back(Text("Edit27", 12, "IP: ", "111"));
  all.push_back(Text("Edit28", 13, "IP: ", "222"));
  all.push_back(Text("Edit29", 14, "IP: ", "333"));
  all.push_back(Text("Edit30", 15, "Порт: ", "20198"));
  for (std::size_t i = right_column; i < all.size(); ++i) all[i].column = 1;
  for (std::size_t i = right_column + 2; i < right_column + 5; ++i)
    all[i].placement = Placement::PreviousRow;
  return all;
}

const std::vector<TabInfo> kTabs = {
    {"Главная", PageKind::Greeting, {}},
    {kZonesTab, PageKind::ZoneTable, {}},
    {kOutputsTab, PageKind::GroupBoxes, {}},
    {kSmsTab, PageKind::GroupBoxes, {}},
    {kSoundTab, PageKind::GroupBoxes, {}},
    {kDtmfTab, PageKind::GroupBoxes, {}},
    {kVoiceCallsTab, PageKind::GroupBoxes, {}},
    {kVoiceTab, PageKind::GroupBoxes, {}},
    {kMiscTab, PageKind::GroupBoxes, {}},
    {kMisc2Tab, PageKind::GroupBoxes, {}},
    {kSubscribersTab, PageKind::TextFields, "Список абонентов, пароль, порт, IP"},
};

const std::vector<ZoneColumn> kZoneColumns = {{2, "Режим работы шлейфов", "Set02"},
                                              {1, "Группы", "Set01"},
                                              {3, "Задержка постановки", "Set03"},
                                              {4, "Задержка снятия", "Set04"}};

}  // namespace qvx::catalogue_data
