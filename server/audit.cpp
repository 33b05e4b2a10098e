#include "server/audit.h"

#include "archive/records.h"
#include "server/rows.h"

namespace qvx::server {

void Audit(archive::Executor& executor, AuditRecord record) {
  if (record.at.empty()) record.at = archive::NowText();
  executor.Run({"INSERT INTO audit (at, user_name, action, object, detail) VALUES (?, ?, ?, ?, ?)",
                {record.at, record.user, record.action, record.object, record.detail}});
}

std::vector<AuditRecord> ReadAudit(archive::Executor& executor, std::int64_t limit) {
  std::vector<AuditRecord> records;
  for (const archive::Row& row :
       executor.Run({"SELECT at, user_name, action, object, detail FROM audit"
                     " ORDER BY id DESC LIMIT ?",
                     {limit}}))
    records.push_back(
        {TextAt(row, 0), TextAt(row, 1), TextAt(row, 2), TextAt(row, 3), TextAt(row, 4)});
  return records;
}

}  // namespace qvx::server
