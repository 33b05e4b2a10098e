// quorvex-server as a program: its command line, its accounts commands, and
// a few requests through real HTTP(S) on a loopback port, on both databases.
#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "tests/support/postgres_server.h"
#include "tests/support/program_run.h"
#include "tests/support/scratch_folder.h"

namespace qvx::server {
namespace {

enum class Backend { Sqlite, Postgres };

std::string Program() {
  const char* path = std::getenv("QUORVEX_SERVER");
  return path ? path : "quorvex-server";
}

class ServerProgramTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.Root() / "page");
    ScratchFolder::Write(folder_.Path("page/index.html"), "<!doctype html><title>Quorvex</title>");
    ScratchFolder::Write(folder_.Path("secret.txt"), "secret");
    database_args_ = {"--data", folder_.Path("data")};
    if (GetParam() == Backend::Postgres) {
      test::PostgresServer& postgres = test::PostgresServer::Shared();
      if (!postgres.SkipReason().empty()) GTEST_SKIP() << postgres.SkipReason();
      const std::string url = postgres.NewDatabase();
      ASSERT_FALSE(url.empty()) << postgres.Failure();
      database_args_ = {"--database", url};
    }
  }

  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      test::WaitProgram(pid_);
    }
  }

  // Runs the program with `args` and the database's, `input` on stdin.
  test::Ran Run(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), Program());
    args.insert(args.end(), database_args_.begin(), database_args_.end());
    const std::string in = folder_.Path("stdin");
    ScratchFolder::Write(in, input);
    test::ProgramIo io{folder_.Path("out"), -1, folder_.Path("err"), [in] {
                         const int fd = open(in.c_str(), O_RDONLY);
                         return fd >= 0 && dup2(fd, STDIN_FILENO) == 0;
                       }};
    return test::RunProgram(args, io);
  }

  // Starts the server on a free loopback port; returns the port, read
  // from its first line.
  int Start(std::vector<std::string> args = {}) {
    args.insert(args.begin(),
                {Program(), "--listen", "127.0.0.1:0", "--page", folder_.Path("page")});
    args.insert(args.end(), database_args_.begin(), database_args_.end());
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return 0;
    pid_ = test::StartProgram(args, {"", pipe_ends[1], folder_.Path("server-err")});
    close(pipe_ends[1]);
    std::string line;
    char c = 0;
    while (read(pipe_ends[0], &c, 1) == 1 && c != '\n') line += c;
    close(pipe_ends[0]);
    // "quorvex-server: слушает http://127.0.0.1:PORT, база данных: ..."
    const std::string address = line.substr(0, line.find(','));
    const std::size_t colon = address.rfind(':');
    if (line.find("слушает") == std::string::npos || colon == std::string::npos) {
      ADD_FAILURE() << "first line: " << line
                    << ScratchFolder::Contents(folder_.Path("server-err"));
      return 0;
    }
    return std::stoi(address.substr(colon + 1));
  }

  ScratchFolder folder_{"server-program"};
  std::vector<std::string> database_args_;
  pid_t pid_ = -1;
};

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

TEST(ServerProgram, HelpUsageErrorsAndFailures) {
  ScratchFolder folder("server-cli");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string said;  // on stderr
  };
  ScratchFolder::Write(folder.Path("file"), "not a folder");
  const Case cases[] = {
      {{"--listen", "8470"}, 2, "--listen: нужен АДРЕС:ПОРТ"},
      {{"--listen", "localhost:99999"}, 2, "неверный порт"},
      {{"--tls-cert", "a.pem"}, 2, "--tls-cert и --tls-key задаются вместе"},
      {{"--database", "/tmp/x.db"}, 2, "postgresql://"},
      {{"--frobnicate"}, 2, "неизвестный параметр --frobnicate"},
      {{"user", "add", "Петров"}, 2, "нужна --role"},
      {{"user", "add", "Петров", "--role", "boss"}, 2, "installer, senior или admin"},
      {{"user", "list", "--data", folder.Path("file")},
       1,
       "не удалось создать папку данных " + folder.Path("file")},
      {{"--database", "postgresql://nobody:hunter2@/none?host=/nonexistent", "user", "list"},
       1,
       "база данных postgresql://nobody:***@/none?host=/nonexistent: нет связи с базой данных"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), Program());
    const test::Ran ran = test::RunProgram(args, {"", -1, folder.Path("err")});
    EXPECT_EQ(ran.status, c.status) << args[1] << ": " << ran.err;
    EXPECT_NE(ran.err.find(c.said), std::string::npos) << args[1] << ": " << ran.err;
    EXPECT_EQ(ran.err.find("hunter2"), std::string::npos) << "a password in a message";
  }
  const test::Ran out = test::RunProgram({Program(), "--help"}, {folder.Path("out"), -1, ""});
  EXPECT_EQ(out.status, 0);
  EXPECT_NE(out.out.find("quorvex-server user add ИМЯ --role"), std::string::npos);
}

TEST_P(ServerProgramTest, AccountsAreManagedOnTheServersMachine) {
  EXPECT_EQ(Run({"user", "add", "Петров", "--role", "senior"}, "пароль-123\n").status, 0);
  const test::Ran twice = Run({"user", "add", "Петров", "--role", "admin"}, "пароль-123\n");
  EXPECT_EQ(twice.status, 1);
  EXPECT_NE(twice.err.find("учётная запись «Петров» уже есть"), std::string::npos) << twice.err;
  const test::Ran weak = Run({"user", "add", "Сидоров", "--role", "admin"}, "1234567\n");
  EXPECT_EQ(weak.status, 1);
  EXPECT_NE(weak.err.find("пароль короче 8 знаков"), std::string::npos) << weak.err;
  EXPECT_EQ(Run({"user", "add", "Сидоров", "--role", "installer"}, "пароль-456").status, 0);
  const test::Ran list = Run({"user", "list"});
  EXPECT_EQ(list.out, "Петров\tстарший установщик\nСидоров\tустановщик\n");
  EXPECT_EQ(Run({"user", "password", "Петров"}, "новый-пароль\n").status, 0);
  EXPECT_EQ(Run({"user", "password", "Никто"}, "новый-пароль\n").status, 1);
  EXPECT_EQ(Run({"user", "remove", "Сидоров"}).status, 0);
  EXPECT_EQ(Run({"user", "remove", "Сидоров"}).status, 1);
  EXPECT_EQ(Run({"user", "list"}).out, "Петров\tстарший установщик\n");
  if (GetParam() == Backend::Sqlite) {
    const auto mode = std::filesystem::status(folder_.Path("data/quorvex-server.db")).permissions();
    EXPECT_EQ(mode & std::filesystem::perms::others_read, std::filesystem::perms::none);
  }
}

TEST_P(ServerProgramTest, ThroughRealHttpTheCookieTheChecksAndThePage) {
  ASSERT_EQ(Run({"user", "add", "Петров", "--role", "admin"}, "пароль-123\n").status, 0);
  const int port = Start();
  ASSERT_GT(port, 0);
  httplib::Client client("127.0.0.1", port);
  const std::string origin = "http://127.0.0.1:" + std::to_string(port);
  const std::string login = R"({"name":"Петров","password":"пароль-123"})";

  auto refused =
      client.Post("/api/login", {{"Origin", "http://evil.example"}}, login, "application/json");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 403);

  auto logged = client.Post("/api/login", {{"Origin", origin}}, login, "application/json");
  ASSERT_TRUE(logged);
  ASSERT_EQ(logged->status, 200) << logged->body;
  const std::string cookie = logged->get_header_value("Set-Cookie");
  EXPECT_NE(cookie.find("; HttpOnly; SameSite=Strict; Max-Age=43200"), std::string::npos) << cookie;
  EXPECT_EQ(cookie.find("Secure"), std::string::npos);
  const std::string session = cookie.substr(0, cookie.find(';'));
  const std::string csrf = nlohmann::json::parse(logged->body)["csrf"];

  auto users = client.Get("/api/users", {{"Cookie", session}});
  ASSERT_TRUE(users);
  EXPECT_EQ(users->status, 200);
  EXPECT_EQ(users->get_header_value("Cache-Control"), "no-store");
  const std::string sync = R"({"cursor":0,"cards":[],"entries":[]})";
  auto no_key =
      client.Post("/api/sync", {{"Cookie", session}, {"Origin", origin}}, sync, "application/json");
  ASSERT_TRUE(no_key);
  EXPECT_EQ(no_key->status, 403);
  auto synced =
      client.Post("/api/sync", {{"Cookie", session}, {"Origin", origin}, {"X-Quorvex-Token", csrf}},
                  sync, "application/json");
  ASSERT_TRUE(synced);
  EXPECT_EQ(synced->status, 200) << synced->body;

  auto page = client.Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(page->get_header_value("Cache-Control"), "no-cache");
  for (const char* path : {"/../secret.txt", "/%2e%2e/secret.txt", "/..%2fsecret.txt"}) {
    auto escaped = client.Get(path);
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->status, 404) << path;
    EXPECT_EQ(escaped->body.find("secret"), std::string::npos) << path;
  }
  EXPECT_EQ(client.Get("/api/session")->status, 401);
  // A decoded line end in a path writes no line of its own into the log.
  EXPECT_EQ(client.Get("/api/objects/1%0Aquorvex-server:%20forged")->status, 401);

  // SIGTERM ends it cleanly.
  ASSERT_EQ(kill(pid_, SIGTERM), 0);
  EXPECT_EQ(test::WaitProgram(pid_), 0);
  pid_ = -1;
  const std::string log = ScratchFolder::Contents(folder_.Path("server-err"));
  EXPECT_EQ(log.find("пароль-123"), std::string::npos) << log;
  EXPECT_EQ(log.find("\nquorvex-server: forged"), std::string::npos) << log;
  EXPECT_NE(log.find("GET /api/objects/1?quorvex-server: forged 401"), std::string::npos) << log;
  EXPECT_EQ(log.find(session.substr(12)), std::string::npos) << log;
  EXPECT_EQ(log.find(csrf), std::string::npos) << log;
}

TEST_P(ServerProgramTest, UnderTlsTheCookieIsSecure) {
  const std::string cert = folder_.Path("cert.pem"), key = folder_.Path("key.pem");
  const test::Ran made =
      test::RunProgram({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                        "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert},
                       {"", -1, folder_.Path("openssl-err")});
  ASSERT_EQ(made.status, 0) << made.err;
  ASSERT_EQ(Run({"user", "add", "Петров", "--role", "installer"}, "пароль-123\n").status, 0);
  const int port = Start({"--tls-cert", cert, "--tls-key", key});
  ASSERT_GT(port, 0);
  httplib::SSLClient client("127.0.0.1", port);
  client.enable_server_certificate_verification(false);
  auto logged = client.Post("/api/login", {{"Origin", "https://127.0.0.1:" + std::to_string(port)}},
                            R"({"name":"Петров","password":"пароль-123"})", "application/json");
  ASSERT_TRUE(logged);
  ASSERT_EQ(logged->status, 200) << logged->body;
  EXPECT_NE(logged->get_header_value("Set-Cookie").find("; Secure"), std::string::npos);
}

TEST_P(ServerProgramTest, AnAddressInUseOrABadCertificateFailsNamingIt) {
  const int port = Start();
  ASSERT_GT(port, 0);
  const std::string address = "127.0.0.1:" + std::to_string(port);
  const test::Ran busy = Run({"--listen", address, "--page", folder_.Path("page")});
  EXPECT_EQ(busy.status, 1);
  EXPECT_NE(busy.err.find("не удалось занять адрес " + address), std::string::npos) << busy.err;
  const test::Ran bad = Run({"--listen", "127.0.0.1:0", "--tls-cert", folder_.Path("secret.txt"),
                             "--tls-key", folder_.Path("secret.txt")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("сертификат " + folder_.Path("secret.txt")), std::string::npos) << bad.err;
}

// "sudo quorvex-server user add" on the service's /var/lib/quorvex would
// make a database of root's that the service cannot open.
TEST(ServerProgram, RootIsRefusedInTheDataFolderOfAnotherUser) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can be refused";
  ScratchFolder folder("server-root");
  const std::string data = folder.Path("data");
  std::filesystem::create_directory(data);
  ASSERT_EQ(chown(data.c_str(), 65534, 65534), 0);
  // Both the accounts and the serving open the database the same way;
  // "user list" shows it without a server left running on a failure.
  const test::Ran ran =
      test::RunProgram({Program(), "--data", data, "user", "list"}, {"", -1, folder.Path("err")});
  EXPECT_EQ(ran.status, 1) << ran.err;
  EXPECT_NE(ran.err.find("папка данных " + data + " принадлежит пользователю"), std::string::npos)
      << ran.err;
  EXPECT_TRUE(std::filesystem::is_empty(data)) << "nothing made there";
  // Root's own folder is root's to use.
  ASSERT_EQ(chown(data.c_str(), 0, 0), 0);
  EXPECT_EQ(test::RunProgram({Program(), "--data", data, "user", "list"}, {}).status, 0);
}

// Twenty pages syncing at once connect in one burst, while the server is
// busy: the kernel must queue them all, not drop those beyond a short queue.
TEST_P(ServerProgramTest, ABurstOfConnectionsWhileItIsBusyIsQueuedNotDropped) {
  const int port = Start();
  ASSERT_GT(port, 0);
  // Stopped, it accepts nothing: every connection waits in the kernel's queue.
  ASSERT_EQ(kill(pid_, SIGSTOP), 0);
  struct Resume {
    pid_t pid;
    ~Resume() { kill(pid, SIGCONT); }
  } resume{pid_};
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  constexpr int kConnections = 32;
  std::vector<int> sockets;
  for (int i = 0; i < kConnections; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockets.push_back(fd);
    const int started = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ASSERT_TRUE(started == 0 || errno == EINPROGRESS) << strerror(errno);
  }
  // Each connect ends: at once when queued; a dropped one only when the
  // kernel gives up its retries, with an error.
  for (int fd : sockets) {
    pollfd ready = {fd, POLLOUT, 0};
    ASSERT_EQ(poll(&ready, 1, -1), 1);
    int error = 0;
    socklen_t size = sizeof error;
    ASSERT_EQ(getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size), 0);
    EXPECT_EQ(error, 0) << strerror(error);
  }
  kill(pid_, SIGCONT);
  const std::string request =
      "GET /api/session HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
      "\r\nConnection: close\r\n\r\n";
  int answered = 0;
  for (int fd : sockets) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
      char head[12] = {};
      if (read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head) &&
          std::string(head, sizeof head) == "HTTP/1.1 401")
        ++answered;
    }
    close(fd);
  }
  EXPECT_EQ(answered, kConnections);
}

INSTANTIATE_TEST_SUITE_P(Both, ServerProgramTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

}  // namespace
}  // namespace qvx::server
