#include "sync_words.h"

#include "archive/objects.h"
#include "archive/records.h"

namespace qvx::web {

using emscripten::val;

val SyncTexts() {
  val texts = val::object();
  const std::pair<const char*, const char*> words[] = {
      {"loginTitle", "Вход в архив компании"},
      {"loginName", "Имя"},
      {"loginPassword", "Пароль"},
      {"loginSubmit", "Войти"},
      {"loginOpen", "Войти"},
      {"loginLater", "Работать без входа"},
      {"loginNeeded", "Введите имя и пароль"},
      {"loggedOut", "вход не выполнен"},
      {"logout", "Выйти"},
      {"unreachable", "нет связи с сервером"},
      {"conflicts", "Конфликты: карточка изменена и здесь, и на сервере"},
      {"mine", "Моя"},
      {"theirs", "С сервера"},
      {"keepMine", "Оставить мою"},
      {"takeTheirs", "Взять с сервера"},
  };
  for (const auto& [key, text] : words) texts.set(key, val(std::string(text)));
  return texts;
}

std::string SyncStatusText(bool reachable, std::int64_t waiting, std::int64_t conflicts) {
  std::string text = !reachable    ? "нет связи с сервером"
                     : waiting > 0 ? "ждут отправки: " + std::to_string(waiting)
                                   : "в сети";
  if (!reachable && waiting > 0) text += ", ждут отправки: " + std::to_string(waiting);
  if (conflicts > 0) text += ", конфликтов: " + std::to_string(conflicts);
  return text;
}

val ConflictRows(const archive::Conflict& conflict) {
  const archive::Card& mine = conflict.mine;
  const archive::Card& theirs = conflict.theirs;
  val rows = val::array();
  const auto add = [&rows](const char* what, const std::string& a, const std::string& b) {
    val row = val::array();
    row.call<void>("push", val(std::string(what)));
    row.call<void>("push", val(a));
    row.call<void>("push", val(b));
    rows.call<void>("push", row);
  };
  add("Номер", mine.number, theirs.number);
  add("Заказчик", mine.name, theirs.name);
  add("Адрес", mine.address, theirs.address);
  add("Телефон", mine.phone, theirs.phone);
  add("Примечание", mine.note, theirs.note);
  const auto changed = [](const archive::Card& card) {
    return archive::LocalTimeText(card.changed_at) +
           (card.changed_by.empty() ? "" : " · " + card.changed_by);
  };
  add("Изменена", changed(mine), changed(theirs));
  add("Удалена", mine.deleted ? "да" : "нет", theirs.deleted ? "да" : "нет");
  const std::optional<std::int64_t> differing =
      archive::DifferingCount(mine.settings, theirs.settings);
  const std::string settings = !differing        ? "не сравниваются"
                               : *differing == 0 ? "одинаковые"
                                                 : "отличий: " + std::to_string(*differing);
  add("Настройки", settings, settings);
  return rows;
}

}  // namespace qvx::web
