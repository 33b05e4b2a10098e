// quorvex-server: the company's archive of objects and the page, from one
// origin; or, with "user ...", its accounts.
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

#include "archive/archive_error.h"
#include "server/http_front.h"
#include "server/options.h"
#include "server/user_commands.h"

namespace {

using namespace qvx::server;

int Fail(const std::string& words) {
  std::cerr << "quorvex-server: " << words << '\n';
  return 1;
}

void Log(const std::string& line) {
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::cerr << "quorvex-server: " << line << '\n';
}

// The database named in the options, the SQLite file's folder made first.
std::unique_ptr<Database> OpenDatabase(ServeOptions& serve, std::size_t connections) {
  if (serve.database.empty()) {
    if (serve.data_folder.empty()) serve.data_folder = DefaultDataFolder();
    std::error_code error;
    std::filesystem::create_directories(serve.data_folder, error);
    if (error)
      throw std::runtime_error("не удалось создать папку данных " + serve.data_folder + ": " +
                               error.message());
    if (const std::string refusal = RootInOthersFolder(serve.data_folder); !refusal.empty())
      throw std::runtime_error(refusal);
  }
  const std::string target = DatabaseTarget(serve);
  try {
    return std::make_unique<Database>(target, connections);
  } catch (const qvx::archive::ArchiveError& error) {
    throw std::runtime_error("база данных " + WithoutPassword(target) + ": " + error.what());
  }
}

int Serve(ServeOptions& serve, const std::string& executable) {
  // SIGINT and SIGTERM go to one thread that stops the server: blocked
  // here, before any other thread starts, so that every thread inherits it.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<Database> database = OpenDatabase(serve, 8);
  const bool page_given = !serve.page_folder.empty();
  if (!page_given) serve.page_folder = DefaultPageFolder(executable);
  if (!std::filesystem::is_directory(serve.page_folder)) {
    if (page_given) return Fail("нет папки страницы " + serve.page_folder);
    Log("нет папки страницы " + serve.page_folder + ": только интерфейс /api/");
  }
  const StaticFiles files(serve.page_folder);
  Api api(*database, {serve.trust_proxy, PasswordCost::Interactive(), {}, Log});
  std::unique_ptr<HttpFront> front;
  int port = 0;
  try {
    front = std::make_unique<HttpFront>(api, files, serve.tls_cert, serve.tls_key, Log);
    port = front->Bind(serve.host, serve.port);
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
  const bool tls = !serve.tls_cert.empty();
  const std::string host =
      serve.host.find(':') != std::string::npos ? "[" + serve.host + "]" : serve.host;
  std::cout << "quorvex-server: слушает " << (tls ? "https://" : "http://") << host << ':' << port
            << ", база данных: " << database->Name() << std::endl;
  std::thread stopper([&front, stops] {
    int signal_number = 0;
    sigwait(&stops, &signal_number);
    front->Stop();
  });
  const bool served = front->Serve();
  if (!served) {
    // The stopper still waits for a signal: send it the one it waits for.
    pthread_kill(stopper.native_handle(), SIGTERM);
  }
  stopper.join();
  if (!served) return Fail("не удалось принимать запросы на " + host + ":" + std::to_string(port));
  Log("остановлен");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The database holds password hashes and the customers' data: this user's only.
  umask(077);
  Options options;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& error) {
    std::cerr << "quorvex-server: " << error.what() << "\n\n" << Usage();
    return 2;
  }
  if (options.help) {
    std::cout << Usage();
    return std::cout.flush() ? 0 : 1;
  }
  if (!StartSecrets()) return Fail("libsodium не запускается: нет источника случайных чисел");
  try {
    if (!options.user) return Serve(options.serve, "/proc/self/exe");
    std::unique_ptr<Database> database = OpenDatabase(options.serve, 1);
    try {
      return RunUserCommand(*options.user, *database, std::cin, std::cout,
                            PasswordCost::Interactive());
    } catch (const std::exception& error) {
      return Fail(std::string("user: ") + error.what() + " (база данных: " + database->Name() +
                  ")");
    }
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}
