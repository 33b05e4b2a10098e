#include "server/json_answers.h"

namespace qvx::server {

Response JsonAnswer(int status, const nlohmann::ordered_json& body) {
  Response response;
  response.status = status;
  response.content_type = "application/json; charset=utf-8";
  response.body = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  response.headers.emplace_back("Cache-Control", "no-store");
  return response;
}

Response ErrorAnswer(int status, const std::string& words) {
  return JsonAnswer(status, {{"error", words}});
}

Response NoContent() {
  Response response;
  response.status = 204;
  response.headers.emplace_back("Cache-Control", "no-store");
  return response;
}

Response NoSession() {
  return ErrorAnswer(401, "войдите в систему");
}
Response ForeignOrigin() {
  return ErrorAnswer(403, "запрос отклонён: чужой источник");
}
Response WrongToken() {
  return ErrorAnswer(403, "запрос отклонён: неверный ключ сеанса");
}
Response BeyondRole() {
  return ErrorAnswer(403, "недостаточно прав");
}
Response BadRequest(const std::string& why) {
  return ErrorAnswer(400, "неверный запрос: " + why);
}

}  // namespace qvx::server
