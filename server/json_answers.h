// The JSON shapes of the interface's answers.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "server/http_types.h"

namespace qvx::server {

// A JSON answer with `status`; never cached (it holds the company's data).
Response JsonAnswer(int status, const nlohmann::ordered_json& body);

// {"error": words} with `status`.
Response ErrorAnswer(int status, const std::string& words);

// 204 with no body.
Response NoContent();

// The interface's fixed refusals.
Response NoSession();      // 401 "войдите в систему"
Response ForeignOrigin();  // 403 "запрос отклонён: чужой источник"
Response WrongToken();  // 403 "запрос отклонён: неверный ключ сеанса"
Response BeyondRole();                        // 403 "недостаточно прав"
Response BadRequest(const std::string& why);  // 400 "неверный запрос: why"

}  // namespace qvx::server
