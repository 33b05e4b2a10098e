// The settings model of the page with its file and write-check commands, as
// JavaScript's quorvex.Model; names are the window's control names.
#pragma once

#include <emscripten/val.h>

#include <string>

#include "page_model.h"

namespace qvx::web {

class Model {
 public:
  int ListIndex(const std::string& list) const { return Settings().ListIndex(list); }
  void SetListIndex(const std::string& list, int index) { Settings().SetListIndex(list, index); }
  int SliderPosition(const std::string& slider) const { return Settings().SliderPosition(slider); }
  void SetSliderPosition(const std::string& slider, int position) {
    Settings().SetSliderPosition(slider, position);
  }
  int SliderMinimum(const std::string& slider) const { return Settings().SliderMinimum(slider); }
  int RadioNumber(const std::string& group) const { return Settings().RadioNumber(group); }
  void SetRadioNumber(const std::string& group, int number) {
    Settings().SetRadioNumber(group, number);
  }
  std::string Text(const std::string& field) const { return Settings().Text(field); }
  void SetText(const std::string& field, const std::string& text) {
    Settings().SetText(field, text);
  }
  std::string LabelText(const std::string& label) const { return Settings().LabelText(label); }

  // "Открыть" with a Uint8Array: null when taken over, else the refusal {text, title}.
  emscripten::val Open(const emscripten::val& file_bytes);
  // "Сохранить": {bytes (null when refused), messages [{text, title}]}.
  emscripten::val Save() const;
  // "Записать" up to the port: {frame (null when refused), steps [{kind
  // "white"/"red"/"subscriberTab"/"message", field, text, title, and a
  // message's messageKind}]}.
  emscripten::val CheckWrite();
  // The reception window's end: {text, title, outcome, entries}.
  emscripten::val EvaluateRead(const emscripten::val& received);

  MemorySettings& Settings() { return page_.Settings(); }
  const MemorySettings& Settings() const { return page_.Settings(); }

 private:
  PageModel page_;
};

}  // namespace qvx::web
