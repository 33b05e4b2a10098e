// quorvex-server's command line: serving, or managing the accounts.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/accounts.h"

namespace qvx::server {

// A usage error, in words: the program says it with its usage, exit 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ServeOptions {
  std::string host = "localhost";
  int port = 8470;          // 0: any free port, told on the first line
  std::string data_folder;  // "" until resolved: DefaultDataFolder()
  std::string database;     // a postgresql:// URL; "" for SQLite in the data folder
  std::string tls_cert, tls_key;
  std::string page_folder;  // "" until resolved: DefaultPageFolder()
  bool trust_proxy = false;
};

struct UserCommand {
  enum class Kind { Add, List, Remove, Password } kind = Kind::List;
  std::string name;
  Role role = Role::Installer;
};

struct Options {
  bool help = false;
  std::optional<UserCommand> user;  // "user ...": no serving
  ServeOptions serve;               // the database options serve "user" too
};

// Reads the arguments after the program's name. Throws UsageError.
Options ParseOptions(const std::vector<std::string>& args);

// The help text, in Russian.
std::string Usage();

// /var/lib/quorvex when it is a folder this user may write (the package's
// place), else $XDG_DATA_HOME/quorvex, else ~/.local/share/quorvex.
std::string DefaultDataFolder();

// Why root must not open the SQLite database in `folder`, or "": in a
// folder another user owns (the package's service user's), the files root
// made would lock that user out of its own database.
std::string RootInOthersFolder(const std::string& folder);

// The page's files: build-web/page of the source tree when the program runs
// from the tree's build/bin, else the installed /usr/share/quorvex/web.
std::string DefaultPageFolder(const std::string& executable);

// The database to open: --database, or the SQLite file in the data folder.
std::string DatabaseTarget(const ServeOptions& options);

}  // namespace qvx::server
