#include "wasm_executor.h"

#include <cmath>

#include "archive/archive_error.h"
#include "archive/result_codes.h"
#include "js_values.h"

namespace qvx::web {
namespace {

using emscripten::val;

val ValueOf(const archive::Value& value) {
  if (std::holds_alternative<std::nullptr_t>(value)) return val::null();
  // The archive's integers (versions, counts) stay far within a double's
  // exact range.
  if (const auto* number = std::get_if<std::int64_t>(&value))
    return val(static_cast<double>(*number));
  if (const auto* text = std::get_if<std::string>(&value)) return val(*text);
  return Bytes(std::get<archive::Blob>(value).bytes);
}

archive::Value ValueFrom(const val& value) {
  if (value.isNull() || value.isUndefined()) return nullptr;
  if (value.isString()) return value.as<std::string>();
  if (value.isNumber()) {
    const double number = value.as<double>();
    // A real is no value the archive stores: the rules refuse it as text.
    if (number != std::floor(number)) return std::to_string(number);
    return static_cast<std::int64_t>(number);
  }
  if (value.typeOf().as<std::string>() == "bigint")
    return static_cast<std::int64_t>(val::global("Number")(value).as<double>());
  return archive::Blob{FromBytes(value)};
}

}  // namespace

std::vector<archive::Row> WasmExecutor::Run(const archive::Statement& statement) {
  val params = val::array();
  for (const archive::Value& value : statement.params) params.call<void>("push", ValueOf(value));
  const val result = database_.call<val>("run", statement.sql, params);
  const val code = result["code"];
  if (!code.isUndefined())
    throw archive::ErrorOfResultCode(code.as<int>(), StringOf(result, "detail"));
  std::vector<archive::Row> rows;
  const val found = result["rows"];
  const int count = found["length"].as<int>();
  rows.reserve(count);
  for (int index = 0; index < count; ++index) {
    const val columns = found[index];
    archive::Row row;
    const int width = columns["length"].as<int>();
    for (int column = 0; column < width; ++column) row.push_back(ValueFrom(columns[column]));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace qvx::web
