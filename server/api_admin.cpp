// The administrator's reading: the accounts and the audit log.
#include "server/api.h"
#include "server/audit.h"
#include "server/json_answers.h"

namespace qvx::server {

Response Api::Users() {
  Lease lease = database_.Acquire();
  nlohmann::ordered_json users = nlohmann::ordered_json::array();
  for (const Account& account : ListAccounts(*lease))
    users.push_back({{"name", account.name}, {"role", CodeOf(account.role)}});
  return JsonAnswer(200, users);
}

Response Api::AuditLog(const Request& request) {
  std::int64_t limit = 100;
  if (const auto given = request.query.find("limit"); given != request.query.end()) {
    const std::string& text = given->second;
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
      return BadRequest("неверное число записей");
    limit = std::stoll(text);
    if (limit < 1 || limit > 10000) return BadRequest("неверное число записей");
  }
  Lease lease = database_.Acquire();
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const AuditRecord& record : ReadAudit(*lease, limit))
    records.push_back({{"at", record.at},
                       {"user", record.user},
                       {"action", record.action},
                       {"object", record.object},
                       {"detail", record.detail}});
  return JsonAnswer(200, records);
}

}  // namespace qvx::server
