#include "archive_words.h"

#include "archive/records.h"
#include "js_values.h"
#include "settings/russian_numbers.h"

namespace qvx::web {

using emscripten::val;

std::string_view FailureName(archive::Failure failure) {
  using archive::Failure;
  switch (failure) {
    case Failure::Busy:
      return "Busy";
    case Failure::Damaged:
      return "Damaged";
    case Failure::NotArchive:
      return "NotArchive";
    case Failure::Newer:
      return "Newer";
    case Failure::ReadOnly:
      return "ReadOnly";
    case Failure::Full:
      return "Full";
    case Failure::Missing:
      return "Missing";
    case Failure::Refused:
      return "Refused";
    case Failure::Other:
      break;
  }
  return "Other";
}

std::string NotSettingsFile() {
  return "файл не является файлом настроек";
}

val ArchiveTexts() {
  val texts = val::object();
  const std::pair<const char*, const char*> words[] = {
      {"objects", "Объекты"},
      {"search", "Поиск: номер, заказчик, адрес, телефон"},
      {"newObject", "Новый объект"},
      {"number", "Номер"},
      {"name", "Заказчик"},
      {"address", "Адрес"},
      {"save", "Сохранить карточку"},
      {"open", "Открыть"},
      {"journal", "Журнал"},
      {"journalEmpty", "Журнал пуст"},
      {"noObjects", "Объектов нет"},
      {"withoutObject", "Без объекта"},
      {"installer", "Установщик"},
      {"askInstaller", "Имя установщика: оно записывается в журнал и в лист настроек"},
      {"exportArchive", "Экспорт архива"},
      {"importArchive", "Импорт"},
      {"close", "Закрыть"},
      {"archiveTitle", "Архив объектов"},
      {"archiveFileName", "objects.qvxa"},
      {"persisted", "Архив хранится постоянно"},
      {"notPersisted",
       "Браузер не обещал хранить архив постоянно и может удалить его при нехватке места: "
       "сохраняйте экспорт архива"},
      {"unavailable", "Архив недоступен: "},
      {"full",
       "Нет места в хранилище браузера: запись не сохранена, сохранённое ранее не потеряно"},
      {"notSaved", "Объект не сохранён: "},
      {"notJournaled", "Запись в журнал объекта не сохранена: "},
      {"openObject", "Открыть"},
      {"deleteObject", "Удалить объект"},
      {"deletedObjects", "Удалённые"},
      {"restore", "Восстановить"},
  };
  for (const auto& [key, text] : words) texts.set(key, val(std::string(text)));
  return texts;
}

std::string ImportSummary(int added, int changed, int unchanged, int entries_merged,
                          const val& refusals) {
  std::string text = "Импорт: новых объектов " + std::to_string(added) + ", обновлено " +
                     std::to_string(changed) + ", без изменений " + std::to_string(unchanged);
  if (entries_merged > 0) text += ", записей журнала добавлено " + std::to_string(entries_merged);
  const int count = refusals["length"].as<int>();
  for (int index = 0; index < count; ++index) text += "\n" + refusals[index].as<std::string>();
  return text;
}

std::string MoreObjects(std::int64_t more) {
  if (more <= 0) return "";
  return "Ещё " +
         CountOf(static_cast<int>(more), "объект не показан", "объекта не показаны",
                 "объектов не показаны") +
         ": уточните поиск";
}

std::string EntryLine(const val& entry) {
  std::string line =
      archive::LocalTimeText(StringOf(entry, "at")) + " · " + StringOf(entry, "command");
  if (const std::string port = StringOf(entry, "port"); !port.empty()) line += " · " + port;
  if (const std::string outcome = StringOf(entry, "outcomeText"); !outcome.empty())
    line += " · " + outcome;
  if (entry["differing"].isNumber())
    line += " · отличий: " + std::to_string(entry["differing"].as<int>());
  if (const std::string installer = StringOf(entry, "installer"); !installer.empty())
    line += " · " + installer;
  return line;
}

std::string ObjectFileName(const std::string& number, const std::string& name) {
  std::string text = number + (name.empty() ? "" : " " + name);
  std::string clean;
  for (const char c : text) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos ||
        static_cast<unsigned char>(c) < 0x20)
      clean += '_';
    else
      clean += c;
  }
  return clean + ".qvx";
}

std::string DeleteQuestion(const std::string& number, const std::string& name) {
  return "Удалить объект " + number + (name.empty() ? "" : " «" + name + "»") +
         "? Его журнал сохранится, а сам объект можно будет восстановить в списке «Удалённые».";
}

}  // namespace qvx::web
