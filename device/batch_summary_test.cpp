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
