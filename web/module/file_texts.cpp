// The page's own texts about its files and about a page closed while a
// command ran: what the window never has to say, since its saves are
// written before it reports them and it cannot be closed mid-command.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <string_view>

#include "config_file/file_texts.h"
#include "js_values.h"
#include "page_model.h"
#include "page_words.h"

namespace qvx::web {
namespace {

using emscripten::val;

val FileTexts() {
  val texts = val::object();
  texts.set("maxFileBytes", static_cast<double>(kMaxOpenBytes));
  texts.set("tooLarge", MessageObject(Message{std::string(kBadFileText),
                                              std::string(kFileErrorTitle), TooLargeFileNote()}));
  texts.set("unreadable", MessageObject(kUnreadableText, kFileErrorTitle));
  return texts;
}

// Said where the browser has no save picker: the file `name` went to the
// browser's downloads, which may still block it.
val DownloadStarted(const std::string& name) {
  return MessageObject(Message{"Файл " + name +
                                   " передан браузеру для загрузки. Проверьте, что он появился в "
                                   "папке загрузок: до тех пор изменения считаются несохранёнными.",
                               std::string(kSaveTitle)});
}

// Said when several files were launched at once: `first` was opened, the
// names in the array `others` were not.
val NotOpened(const std::string& first, const val& others) {
  std::string names;
  const int count = others["length"].as<int>();
  for (int i = 0; i < count; ++i) {
    if (i) names += ", ";
    names += others[i].as<std::string>();
  }
  return MessageObject(
      Message{"За один раз открывается один файл: " + first + ". Не открыты: " + names,
              std::string(kAppTitle)});
}

// Said at a start after the page was closed mid-frame on `port`.
val WriteCutShort(const std::string& port) {
  return MessageObject(
      Message{"Последняя запись в устройство прервана: страница была закрыта до конца "
              "кадра (порт: " +
                  port +
                  "). Устройство могло принять настройки не полностью, "
                  "запишите их ещё раз.",
              std::string(kAppTitle)});
}

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_files) {
  emscripten::function("fileTexts", &qvx::web::FileTexts);
  emscripten::function("downloadStarted", &qvx::web::DownloadStarted);
  emscripten::function("notOpened", &qvx::web::NotOpened);
  emscripten::function("writeCutShort", &qvx::web::WriteCutShort);
}
