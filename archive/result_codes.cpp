#include "archive/result_codes.h"

namespace qvx::archive {
namespace {

// SQLite's primary result codes, fixed by its file format's documentation;
// repeated here so that the rules need no sqlite3.h.
enum Code {
  kPerm = 3,
  kBusy = 5,
  kLocked = 6,
  kReadOnly = 8,
  kIoError = 10,
  kCorrupt = 11,
  kFull = 13,
  kCantOpen = 14,
  kConstraint = 19,
  kAuth = 23,
  kNotADb = 26,
};

}  // namespace

ArchiveError ErrorOfResultCode(int code, const std::string& detail) {
  const std::string system = detail.empty() ? "" : " (" + detail + ")";
  switch (code & 0xff) {
    case kBusy:
    case kLocked:
      return {Failure::Busy, "архив занят другой программой: файл заблокирован"};
    case kNotADb:
      return {Failure::Damaged, "файл повреждён или не является базой данных"};
    case kCorrupt:
      return {Failure::Damaged, "архив повреждён" + system};
    case kReadOnly:
      return {Failure::ReadOnly, "нет прав на запись в архив"};
    case kPerm:
    case kAuth:
      return {Failure::ReadOnly, "нет доступа к архиву"};
    case kFull:
      return {Failure::Full, "нет места на диске: архив не изменён"};
    case kCantOpen:
      return {Failure::Other, "не удаётся открыть файл архива"};
    case kConstraint:
      return {Failure::Refused, "архив не принял запись" + system};
    case kIoError:
      return {Failure::Other, "ошибка чтения или записи архива" + system};
    default:
      return {Failure::Other, "ошибка архива" + system};
  }
}

}  // namespace qvx::archive
