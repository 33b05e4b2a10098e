// The console session routes every outcome by its kind: successes and the
// log to `out`, refusals and failures to `err`, a failure with its cause.
#include "device/console_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "settings/memory_settings.h"
#include "tests/support/fake_link.h"

namespace qvx::device {
namespace {

using testing::FakePort;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ConsoleSession, WriteOutcomesGoWhereTheirKindSays) {
  const std::string kDialout =
      "Чтобы открывать последовательные порты, вступите в группу dialout: sudo adduser $USER "
      "dialout, затем войдите в систему заново.\n";
  const struct {
    const char* name;
    std::function<void(FakePort&, Settings&)> arrange;
    bool hold_success;
    Outcome outcome;
    std::string out_part;  // a part of `out`
    std::string err;       // all of `err`
  } cases[] = {
      {"sent",
       [](FakePort& port, Settings&) {
         port.failure = {Cause::WriteFailed, "stale cause"};
       },
       false, Outcome::Sent, "ком открыт\nДанные успешно отправлены\n", ""},
      {"sent, success held", [](FakePort&, Settings&) {}, true, Outcome::Sent, "ком открыт\n", ""},
      {"line dies mid-frame",
       [](FakePort& port, Settings&) {
         port.fail_write_at = 100;
         port.failure = {Cause::WriteFailed, "Input/output error"};
       },
       false, Outcome::WriteFailed, "ком открыт\nОшибка в WriteFile\n",
       "Input/output error\nОшибка записи в порт\n"},
      // The port's words under the message, said once.
      {"line lost mid-frame",
       [](FakePort& port, Settings&) {
         port.fail_write_at = 100;
         port.failure = {Cause::Lost, "Input/output error"};
       },
       false, Outcome::LostMidFrame, "ком открыт\nОшибка в WriteFile\n",
       "Связь с портом потеряна: программатор отключён или порт занят. Порт откроется заново при "
       "следующей команде.\nInput/output error\n"},
      {"port refused",
       [](FakePort& port, Settings&) {
         port.next_open = OpenResult::CannotOpen;
         port.failure = {Cause::Denied, "Permission denied"};
       },
       false, Outcome::CannotOpen, "",
       "Error 1: Не могу открыть указанный Com порт! (Permission denied)\n" + kDialout},
      {"settings refused", [](FakePort&, Settings& settings) { settings.SetText("Edit30", ""); },
       false, Outcome::Refused, "", "Проверьте  порт\nПорт (Edit30)\n"},
  };
  for (const auto& c : cases) {
    FakePort port;
    MemorySettings settings;
    std::ostringstream out, err;
    ConsoleSession session(port, settings, out, err);
    c.arrange(port, settings);
    session.HoldSuccessMessages(c.hold_success);
    EXPECT_EQ(session.Write("ttyUSB0").outcome, c.outcome) << c.name;
    EXPECT_TRUE(Holds(out.str(), c.out_part)) << c.name << "\n" << out.str();
    EXPECT_EQ(err.str(), c.err) << c.name;
    EXPECT_EQ(Holds(out.str(), "Данные успешно отправлены"),
              c.outcome == Outcome::Sent && !c.hold_success)
        << c.name;
    if (c.hold_success) {
      session.ReleaseSuccessMessages();
      EXPECT_TRUE(out.str().ends_with("Данные успешно отправлены\n")) << c.name;
    }
  }
}

}  // namespace
}  // namespace qvx::device
