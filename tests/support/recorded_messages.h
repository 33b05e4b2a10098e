// A recorder of the messages and questions a command shows, standing in for
// the boxes the user would see.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config_file/file_commands.h"

namespace qvx::test {

struct Message {
  std::string text;
  std::string title;
  bool operator==(const Message&) const = default;
};

// Records every message (Show) and question (AskYesNo) instead of showing
// it; a question is answered with `answer`. `Boxes` is CommandMessages or an
// interface built on it, whose further ways of showing call Record().
template <class Boxes = CommandMessages>
class MessageRecorder : public Boxes {
 public:
  // Messages into `shown`, questions into `asked`.
  MessageRecorder() = default;
  // Messages and questions alike into `log`, in the order they came; `log`
  // outlives the recorder (which its owner may destroy first).
  explicit MessageRecorder(std::vector<Message>* log) : shown_to_(log), asked_to_(log) {}
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  void Show(const std::string& text, const std::string& title) override {
    Record({text, title});
    if (on_show) on_show();
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    asked_to_->push_back({text, title});
    return answer;
  }

  std::vector<Message> shown;
  std::vector<Message> asked;
  bool answer = true;
  // Runs while a message would be on screen, to look at what is behind it.
  std::function<void()> on_show;

 protected:
  void Record(Message message) { shown_to_->push_back(std::move(message)); }

 private:
  std::vector<Message>* shown_to_ = &shown;
  std::vector<Message>* asked_to_ = &asked;
};

}  // namespace qvx::test
