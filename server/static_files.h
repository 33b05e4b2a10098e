// The page's files served from one folder: only regular files under it,
// with their content types. Every file is revalidated ("no-cache"): the
// page's own worker keeps it offline and checks for a new version itself,
// so an HTTP cache must never hand it an old file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "server/http_types.h"

namespace qvx::server {

class StaticFiles {
 public:
  // `folder` may be missing: every request then gets 404.
  explicit StaticFiles(std::filesystem::path folder);

  // The file of a decoded request path ("/" is "/index.html"); 404 for a
  // path that leaves the folder (a "..", a link out of it), names no
  // regular file, or holds a NUL or a backslash. Never reads outside it.
  Response Serve(const std::string& path) const;

  // The file's path for `path`, or nullopt as Serve refuses it.
  std::optional<std::filesystem::path> Resolve(const std::string& path) const;

 private:
  std::filesystem::path root_;  // canonical, or empty when missing
};

// "text/html; charset=utf-8", "application/wasm", ... by the file's name;
// "application/octet-stream" for any other.
std::string ContentTypeOf(const std::string& name);

}  // namespace qvx::server
