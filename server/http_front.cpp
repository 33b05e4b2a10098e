#include "server/http_front.h"

#include <httplib.h>

#include <stdexcept>

namespace qvx::server {
namespace {

constexpr std::size_t kLargestBody = 64 << 20;  // a sync of many entries with their settings

std::string Lowercase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

Request RequestOf(const httplib::Request& from, bool tls) {
  Request request;
  request.method = from.method == "HEAD" ? "GET" : from.method;
  request.path = from.path;
  for (const auto& [name, value] : from.params) request.query.emplace(name, value);
  for (const auto& [name, value] : from.headers) request.headers.emplace(Lowercase(name), value);
  request.body = from.body;
  request.peer = from.remote_addr;
  request.tls = tls;
  return request;
}

void Answer(const Response& from, httplib::Response& to) {
  to.status = from.status;
  for (const auto& [name, value] : from.headers) to.set_header(name, value);
  if (!from.body.empty() || !from.content_type.empty())
    to.set_content(from.body, from.content_type.empty() ? "text/plain" : from.content_type);
}

}  // namespace

HttpFront::HttpFront(Api& api, const StaticFiles& files, const std::string& cert,
                     const std::string& key, std::function<void(const std::string&)> log)
    : tls_(!cert.empty()) {
  if (tls_) {
    auto secure = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
    if (!secure->is_valid())
      throw std::runtime_error("сертификат " + cert + " или ключ " + key +
                               " не читаются или не подходят друг к другу");
    server_ = std::move(secure);
  } else {
    server_ = std::make_unique<httplib::Server>();
  }
  server_->set_payload_max_length(kLargestBody);
  // An answer leaves in two writes (headers, body); with Nagle's delay the
  // body waits for the client's delayed ACK, 40 ms on every request.
  server_->set_tcp_nodelay(true);
  // httplib's default is SO_REUSEPORT, with which a second server on the
  // same port starts "fine" and takes half the requests. SO_REUSEADDR
  // alone still lets a restart take the port at once.
  server_->set_socket_options([this](socket_t socket) {
    const int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listener_ = socket;  // the last one offered is the one bound
  });
  const bool tls = tls_;
  const auto handle = [&api, &files, tls, log](const httplib::Request& from,
                                               httplib::Response& to) {
    const Request request = RequestOf(from, tls);
    Response response;
    if (request.path.rfind("/api/", 0) == 0) {
      response = api.Handle(request);
      if (log)
        log(request.method + " " + LoggedPath(request.path) + " " +
            std::to_string(response.status));
    } else if (request.method != "GET") {
      response.status = 405;
    } else {
      response = files.Serve(request.path);
      // The page is never framed by another site.
      response.headers.emplace_back("X-Frame-Options", "DENY");
      response.headers.emplace_back("Referrer-Policy", "same-origin");
    }
    Answer(response, to);
  };
  // Every path, line ends too (which "." would not match), goes to `handle`.
  const std::string any = "[\\s\\S]*";
  server_->Get(any, handle);
  server_->Post(any, handle);
  server_->Put(any, handle);
  server_->Delete(any, handle);
  server_->Patch(any, handle);
  server_->Options(any, handle);
}

HttpFront::~HttpFront() = default;

int HttpFront::Bind(const std::string& host, int port) {
  int bound = 0;
  if (port == 0) {
    bound = server_->bind_to_any_port(host);
  } else if (server_->bind_to_port(host, port)) {
    bound = port;
  }
  if (bound > 0) {
    // Debian's httplib listens with a backlog of 5: twenty pages syncing at
    // once overflow it and the kernel drops their connections. A second
    // listen() on the bound socket only widens the queue.
    int listening = 0;
    socklen_t size = sizeof listening;
    if (getsockopt(listener_, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) == 0 && listening)
      listen(listener_, SOMAXCONN);
    return bound;
  }
  throw std::runtime_error("не удалось занять адрес " + host + ":" + std::to_string(port) +
                           " (занят другой программой, нет прав или нет такого адреса)");
}

bool HttpFront::Serve() {
  return server_->listen_after_bind();
}

void HttpFront::Stop() {
  server_->stop();
}

}  // namespace qvx::server
