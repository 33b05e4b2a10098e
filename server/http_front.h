// The handlers on a socket: cpp-httplib, with TLS when given a certificate.
// /api/ goes to the Api, everything else to the page's files.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "server/api.h"
#include "server/static_files.h"

namespace httplib {
class Server;
}

namespace qvx::server {

class HttpFront {
 public:
  // Plain HTTP when `cert` is empty, else TLS. Throws std::runtime_error
  // naming the certificate or key that cannot be used.
  HttpFront(Api& api, const StaticFiles& files, const std::string& cert, const std::string& key,
            std::function<void(const std::string&)> log);
  ~HttpFront();

  // Binds `host`:`port` (0: any free port); returns the port bound. Throws
  // std::runtime_error when the address cannot be taken.
  int Bind(const std::string& host, int port);

  // Serves until Stop(); false when it could not.
  bool Serve();

  // Ends Serve() from any thread (a signal's).
  void Stop();

 private:
  std::unique_ptr<httplib::Server> server_;
  bool tls_;
  int listener_ = -1;  // the listening socket, once bound
};

}  // namespace qvx::server
