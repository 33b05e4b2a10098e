#include "server/static_files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace qvx::server {
namespace fs = std::filesystem;

namespace {

constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
    {".html", "text/html; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".mjs", "text/javascript; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".json", "application/json"},
    {".map", "application/json"},
    {".webmanifest", "application/manifest+json"},
    {".wasm", "application/wasm"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
    {".ico", "image/x-icon"},
    {".txt", "text/plain; charset=utf-8"},
    {".woff2", "font/woff2"},
};

Response NotFound() {
  Response response;
  response.status = 404;
  response.content_type = "text/plain; charset=utf-8";
  response.body = "нет такого файла\n";
  return response;
}

}  // namespace

std::string ContentTypeOf(const std::string& name) {
  for (const auto& [suffix, type] : kTypes)
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      return std::string(type);
  return "application/octet-stream";
}

StaticFiles::StaticFiles(fs::path folder) {
  std::error_code error;
  root_ = fs::canonical(folder, error);
  if (error || !fs::is_directory(root_, error)) root_.clear();
}

std::optional<fs::path> StaticFiles::Resolve(const std::string& path) const {
  if (root_.empty() || path.empty() || path.front() != '/') return std::nullopt;
  if (path.find('\0') != std::string::npos || path.find('\\') != std::string::npos)
    return std::nullopt;
  std::string relative = path.substr(1);
  if (relative.empty() || relative.back() == '/') relative += "index.html";
  fs::path candidate = root_;
  for (const fs::path& part : fs::path(relative)) {
    if (part == ".." || part == "." || part.empty()) return std::nullopt;
    candidate /= part;
  }
  // A link inside the folder may point out of it: its target must be inside.
  std::error_code error;
  const fs::path real = fs::canonical(candidate, error);
  if (error || !fs::is_regular_file(real, error)) return std::nullopt;
  const auto [root_end, ignored] =
      std::mismatch(root_.begin(), root_.end(), real.begin(), real.end());
  if (root_end != root_.end()) return std::nullopt;
  return real;
}

Response StaticFiles::Serve(const std::string& path) const {
  const std::optional<fs::path> file = Resolve(path);
  if (!file) return NotFound();
  std::ifstream in(*file, std::ios::binary);
  if (!in) return NotFound();
  Response response;
  response.body.assign(std::istreambuf_iterator<char>(in), {});
  response.content_type = ContentTypeOf(file->filename().string());
  response.headers.emplace_back("Cache-Control", "no-cache");
  response.headers.emplace_back("X-Content-Type-Options", "nosniff");
  return response;
}

}  // namespace qvx::server
