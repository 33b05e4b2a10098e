// A request and its answer as the handlers see them: no sockets, so that
// every rule of the interface is tested without a network.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qvx::server {

struct Request {
  std::string method;  // "GET", "POST", ...
  std::string path;    // decoded, without the query
  std::map<std::string, std::string> query;
  std::map<std::string, std::string> headers;  // names in lowercase
  std::string body;
  std::string peer;  // the socket's remote address
  bool tls = false;  // the server itself speaks TLS

  // The header's value, or "" (`name` in lowercase).
  std::string Header(const std::string& name) const {
    const auto found = headers.find(name);
    return found == headers.end() ? "" : found->second;
  }
};

struct Response {
  int status = 200;
  std::string content_type;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

// The path as the log may show it, control characters as "?": a decoded
// line end would let a request write a line of its own into the log.
inline std::string LoggedPath(std::string path) {
  for (char& c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return path;
}

}  // namespace qvx::server
