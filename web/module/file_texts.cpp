// The page's own texts about its files and about a page closed while a
// command ran: what the window never has to say, since its saves are
// written before it reports them and it cannot be closed mid-command.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "page_model.h"

namespace qvx::web {
namespace {

using emscripten::val;

val MessageObject(const std::string& text, const std::string& title) {
  val object = val::object();
  object.set("text", text);
  object.set("title", title);
  return object;
}

// "%s" in a text stands for a file name, a list of them, or a port.
val FileTexts() {
  val texts = val::object();
  texts.set("maxFileBytes", static_cast<double>(kMaxOpenBytes));
  texts.set("badFile", MessageObject("Некорректный файл", "Ошибка"));
  texts.set("unreadable", MessageObject("Ошибка открытия файла", "Ошибка"));
  texts.set("downloadStarted",
            MessageObject("Файл %s передан браузеру для загрузки. Проверьте, что он появился в "
                          "папке загрузок: до тех пор изменения считаются несохранёнными.",
                          "Сохранение"));
  texts.set("notOpened",
            MessageObject("За один раз открывается один файл: %s. Не открыты: %s", "Quorvex"));
  texts.set("writeCutShort",
            MessageObject("Последняя запись в устройство прервана: страница была закрыта до конца "
                          "кадра (порт: %s). Устройство могло принять настройки не полностью, "
                          "запишите их ещё раз.",
                          "Quorvex"));
  return texts;
}

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_files) {
  emscripten::function("fileTexts", &qvx::web::FileTexts);
}
