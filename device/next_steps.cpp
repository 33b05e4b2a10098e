#include "device/next_steps.h"

#include <string>

namespace qvx::device {

std::string_view NextStep(Outcome outcome, Cause cause) {
  switch (outcome) {
    case Outcome::Sent:
      return "Устройство не подтверждает запись: что оно хранит эти настройки, покажет только "
             "«Записать и проверить» — она читает их обратно.";
    case Outcome::LostMidFrame:
    case Outcome::StoppedMidFrame:
    case Outcome::WriteFailed:
      return "Кадр передан не полностью: устройство может хранить часть кадра. Подключите "
             "программатор и запишите настройки ещё раз.";
    case Outcome::LostMidRead:
      return "Подключите программатор и повторите команду.";
    case Outcome::NoData:
      return "Устройство не ответило. Проверьте: питание устройства включено; SIM-карта "
             "зарегистрирована в сети (устройство готово к работе); кабель программатора "
             "вставлен в устройство и в USB. Затем повторите команду.";
    case Outcome::NotReady:
      return "Дождитесь, пока SIM-карта зарегистрируется в сети, и повторите команду.";
    case Outcome::CannotOpen:
      break;
    default:
      return "";
  }
  switch (cause) {
    case Cause::Busy:
      return "Порт занят: его держит другая программа (другой конфигуратор, монитор порта, "
             "другая вкладка с этой страницей). Закройте её и повторите команду.";
    case Cause::Denied:
      return "Нет прав на порт. В Linux вступите в группу dialout: sudo adduser $USER dialout, "
             "затем войдите в систему заново; в Windows проверьте, что порт не занят другой "
             "программой.";
    case Cause::Missing:
      return "Программатор не найден: проверьте, что он вставлен в USB, и выберите его порт "
             "снова.";
    default:
      return "Проверьте, что программатор вставлен в USB, и повторите команду.";
  }
}

std::string InBrackets(std::string_view cause, std::string_view system_text) {
  std::string line(cause);
  if (!system_text.empty()) line.append(" (").append(system_text).append(")");
  return line;
}

}  // namespace qvx::device
