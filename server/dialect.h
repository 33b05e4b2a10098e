// Which database the server runs on: the few statements that differ.
#pragma once

namespace qvx::server {

enum class Dialect {
  Sqlite,    // one office: a file in the data folder
  Postgres,  // a company: several servers in front of one database
};

}  // namespace qvx::server
