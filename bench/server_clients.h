// The server's clients in the bench: an installer's session over real HTTP
// to a quorvex-server on a loopback port, as the page holds it (the
// cookie, the Origin and the session's key on every change).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/records.h"

namespace httplib {
class Client;
}

namespace qvx::bench {

struct SyncDone {
  std::int64_t cursor = 0;  // the last answer's
  int requests = 0;         // the upload and each "more" after it
  int busy = 0;             // 503 answers, each asked again at once
};

// The body of a sync that uploads `entries` from `cursor`.
std::string SyncUpload(std::int64_t cursor, const std::vector<archive::Entry>& entries);

class ServerSession {
 public:
  // Logs in to 127.0.0.1:`port` as `name`. `keep_alive`: one connection for
  // every request, as a browser keeps it. Throws std::runtime_error with the
  // status and the server's words when refused.
  ServerSession(int port, const std::string& name, const std::string& password, bool keep_alive);
  ~ServerSession();
  ServerSession(const ServerSession&) = delete;
  ServerSession& operator=(const ServerSession&) = delete;

  // GET /api/session: the least request that passes the session's check.
  void Ping();

  // GET /api/objects?search=`text`; the count of objects found (those
  // listed and "more"). Throws on any answer but 200.
  std::int64_t Search(const std::string& text);

  // GET /api/objects/`number`: the object's card. Throws on any answer but 200.
  archive::Card Card(const std::string& number);

  // POST /api/sync of `upload` (SyncUpload), then again from each answer's
  // cursor while it says "more", as the page does. A 503 is asked again.
  // Throws on any other answer but 200.
  SyncDone Sync(const std::string& upload);

 private:
  std::string Post(const std::string& path, const std::string& body, SyncDone& done);

  std::unique_ptr<httplib::Client> client_;
  std::string origin_;
  std::string cookie_;
  std::string csrf_;
};

}  // namespace qvx::bench
