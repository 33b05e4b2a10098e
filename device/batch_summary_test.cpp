#include "device/batch_summary.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

using enum DeviceOutcome;

TEST(BatchSummary, EachOutcomeHasItsWords) {
  const struct {
    DeviceOutcome outcome;
    std::size_t differing;
    const char* text;
  } cases[] = {
      {Sent, 0, "отправлено"},
      {Verified, 0, "записано и проверено"},
      {Differs, 1, "не совпадает: 1 настройка"},
      {Differs, 5, "не совпадает: 5 настроек"},
      {Refused, 0, "ошибка: настройки не приняты"},
      {Interrupted, 0, "прервано: CAUSE"},
      {Failed, 0, "ошибка: CAUSE"},
  };
  for (const auto& c : cases) EXPECT_EQ(OutcomeText(c.outcome, c.differing, "CAUSE"), c.text);
  EXPECT_EQ(SummaryLine("/dev/pts/1", "записано и проверено", 5.44),
            "/dev/pts/1  записано и проверено  5,4 с");
}

// Every cause once: its code for the page and its words for every face.
TEST(BatchSummary, EachCauseHasItsCodeAndWords) {
  using device::Cause;
  const struct {
    Cause cause;
    const char* code;
    const char* words;
  } cases[] = {
      {Cause::None, "", ""},
      {Cause::Lost, "lost", "связь с портом потеряна"},
      {Cause::WriteTimedOut, "writeTimedOut", "порт не принимает данные"},
      {Cause::WriteFailed, "writeFailed", "ошибка записи в порт"},
      {Cause::Busy, "busy", "порт занят другой программой"},
      {Cause::Denied, "denied", "нет прав на доступ к порту"},
      {Cause::Missing, "missing", "нет такого устройства"},
      {Cause::OpenOther, "openOther", "порт не открывается"},
      {Cause::NoData, "noData", "не удалось получить данные"},
      {Cause::NotReady, "notReady", "SIM-карта ещё не готова"},
      {Cause::FaultyField, "faultyField", "ошибка в данных"},
      {Cause::Stopped, "stopped", "остановлено"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(device::CauseCode(c.cause), c.code);
    EXPECT_EQ(device::CauseOfCode(c.code), c.cause) << c.code;
    EXPECT_EQ(CauseWords(c.cause), c.words) << c.code;
  }
  EXPECT_EQ(device::CauseOfCode("Lost"), std::nullopt);
}

// One result gives one line, whichever face ran the command; the read-back
// says it failed after the frame, a stop says how far it got.
TEST(BatchSummary, ResultTextFromTheEnginesResult) {
  using device::Cause;
  using device::Command;
  using device::Outcome;
  const struct {
    device::CommandResult result;
    const char* text;
  } cases[] = {
      {{Command::Write, Outcome::Sent, Cause::None, "", true, 0}, "отправлено"},
      {{Command::WriteVerify, Outcome::VerifyEqual, Cause::None, "", true, 0},
       "записано и проверено"},
      {{Command::WriteVerify, Outcome::VerifyDifferent, Cause::None, "", true, 2},
       "не совпадает: 2 настройки"},
      {{Command::Write, Outcome::Refused, Cause::FaultyField}, "ошибка: настройки не приняты"},
      {{Command::Write, Outcome::CannotOpen, Cause::Busy, "(процесс 12)"},
       "ошибка: порт занят другой программой"},
      {{Command::Write, Outcome::LostMidFrame, Cause::Lost, "Input/output error"},
       "ошибка: связь с портом потеряна"},
      {{Command::Write, Outcome::WriteTimedOut, Cause::WriteTimedOut},
       "ошибка: порт не принимает данные"},
      {{Command::WriteVerify, Outcome::NoData, Cause::NoData, "", true},
       "ошибка: не удалось прочитать устройство после записи: не удалось получить данные"},
      {{Command::WriteVerify, Outcome::LostMidRead, Cause::Lost, "", true},
       "ошибка: не удалось прочитать устройство после записи: связь с портом потеряна"},
      {{Command::Read, Outcome::Faulty, Cause::FaultyField}, "ошибка: ошибка в данных"},
      {{Command::Write, Outcome::StoppedBeforeFrame, Cause::Stopped}, "прервано: запись не начата"},
      {{Command::Write, Outcome::StoppedMidFrame, Cause::Stopped},
       "прервано: кадр передан не полностью"},
      {{Command::WriteVerify, Outcome::StoppedBeforeCheck, Cause::Stopped, "", true},
       "прервано: кадр передан, проверка не выполнена"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResultText(c.result), c.text);
}

TEST(BatchSummary, TotalCountsEveryKindOnce) {
  const struct {
    std::vector<DeviceOutcome> outcomes;
    bool verify;
    const char* total;
  } cases[] = {
      {{Verified, Verified, Failed}, true, "3 устройства: 2 записано и проверено, 1 ошибка"},
      {{Sent}, false, "1 устройство: 1 отправлено"},
      {{Failed, Refused}, false, "2 устройства: 0 отправлено, 2 ошибки"},
      {{Differs, Verified},
       true,
       "2 устройства: 1 записано и проверено, 1 не совпадает с записанным"},
      {{Differs, Differs, Interrupted},
       true,
       "3 устройства: 0 записано и проверено, 2 не совпадают с записанным, 1 прервано"},
      {{Verified, Verified, Verified, Verified, Verified, Failed, Failed, Failed},
       true,
       "8 устройств: 5 записано и проверено, 3 ошибки"},
  };
  for (const auto& c : cases) EXPECT_EQ(BatchTotal(c.outcomes, c.verify), c.total);
}

}  // namespace
}  // namespace qvx
