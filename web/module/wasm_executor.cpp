#include "wasm_executor.h"

#include <cstring>

#include "archive/archive_error.h"
#include "archive/result_codes.h"
#include "js_values.h"

namespace qvx::web {
namespace {

using emscripten::val;

// The tags of archive_values.js, which decodes and encodes the other side.
enum Tag : unsigned char { kNull = 0, kInteger = 1, kText = 2, kBlob = 3 };

void PutBytes(std::string& out, const void* data, std::size_t size) {
  out.append(static_cast<const char*>(data), size);
}

// Little-endian, as the page's DataView reads it; wasm is little-endian.
void PutSized(std::string& out, Tag tag, const std::string& bytes) {
  out += static_cast<char>(tag);
  const auto size = static_cast<std::uint32_t>(bytes.size());
  PutBytes(out, &size, sizeof size);
  out += bytes;
}

std::string Encoded(const std::vector<archive::Value>& values) {
  std::string out;
  for (const archive::Value& value : values) {
    if (std::holds_alternative<std::nullptr_t>(value)) {
      out += static_cast<char>(kNull);
    } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
      out += static_cast<char>(kInteger);
      PutBytes(out, number, sizeof *number);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
      PutSized(out, kText, *text);
    } else {
      PutSized(out, kBlob, std::get<archive::Blob>(value).bytes);
    }
  }
  return out;
}

// Reads the rows of archive_values.js's encodeRows; a buffer cut short or
// of an unknown tag is a failure of the page's own side.
class Reader {
 public:
  explicit Reader(std::string bytes) : bytes_(std::move(bytes)) {}

  std::vector<archive::Row> Rows() {
    const std::uint32_t count = Get<std::uint32_t>();
    const std::uint32_t width = Get<std::uint32_t>();
    std::vector<archive::Row> rows(count);
    for (archive::Row& row : rows) {
      row.reserve(width);
      for (std::uint32_t column = 0; column < width; ++column) row.push_back(Next());
    }
    return rows;
  }

 private:
  template <typename T>
  T Get() {
    T value;
    Need(sizeof value);
    std::memcpy(&value, bytes_.data() + at_, sizeof value);
    at_ += sizeof value;
    return value;
  }

  void Need(std::size_t size) const {
    if (bytes_.size() - at_ < size)
      throw archive::ArchiveError(archive::Failure::Other, "archive_values: rows cut short");
  }

  archive::Value Next() {
    const auto tag = static_cast<Tag>(Get<unsigned char>());
    if (tag == kNull) return nullptr;
    if (tag == kInteger) return Get<std::int64_t>();
    if (tag != kText && tag != kBlob)
      throw archive::ArchiveError(archive::Failure::Other, "archive_values: unknown value");
    const std::uint32_t size = Get<std::uint32_t>();
    Need(size);
    std::string bytes = bytes_.substr(at_, size);
    at_ += size;
    if (tag == kText) return bytes;
    return archive::Blob{std::move(bytes)};
  }

  std::string bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::vector<archive::Row> WasmExecutor::Run(const archive::Statement& statement) {
  const std::string params = Encoded(statement.params);
  // A view, not a copy: run() decodes it before it returns, and nothing of
  // this module runs meanwhile that could move its memory.
  const val result = database_.call<val>(
      "run", statement.sql,
      val(emscripten::typed_memory_view(params.size(),
                                        reinterpret_cast<const unsigned char*>(params.data()))));
  const val code = result["code"];
  if (!code.isUndefined())
    throw archive::ErrorOfResultCode(code.as<int>(), StringOf(result, "detail"));
  return Reader(FromBytes(result["rows"])).Rows();
}

}  // namespace qvx::web
