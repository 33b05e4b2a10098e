#include "bench/server_rows.h"

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "archive/records_json.h"
#include "bench/server_clients.h"
#include "bench/server_fill.h"
#include "bench/spawn.h"
#include "tests/support/postgres_server.h"

namespace qvx::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kEntriesPerClient = 500;
constexpr int kQueriesPerKind = 50;
constexpr int kWarmUpQueries = 8;
constexpr int kPings = 50;
constexpr double kSearchTargetMs = 100;
constexpr double kFillLimitSeconds = 180;

double Ms(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

// The value at fraction `at` (0.5, 0.95) of the sorted values: the
// smallest that `at` of them do not exceed.
double Percentile(std::vector<double> values, double at) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(at * static_cast<double>(values.size()) + 0.999999);
  return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

std::string Thousands(std::int64_t n) {
  const std::string digits = std::to_string(n);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

// A line of /proc/PID/status ("VmRSS", "VmHWM") in megabytes.
double StatusMegabytes(int pid, const std::string& key) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024;
  throw std::runtime_error("no " + key + " of process " + std::to_string(pid));
}

// Starts the peak anew at the current resident set.
void ResetPeak(int pid) {
  std::ofstream clear("/proc/" + std::to_string(pid) + "/clear_refs");
  clear << "5";
  if (!clear.flush()) throw std::runtime_error("cannot reset the peak of " + std::to_string(pid));
}

struct Database {
  std::string name;    // "SQLite", "PostgreSQL"
  std::string target;  // the file or the URL
  std::vector<std::string> args;
  Filled filled;
};

struct Served {
  double ping_p50 = 0, search_p50 = 0, search_p95 = 0;
  std::map<std::string, double> kind_p95;
  double sync_one_ms = 0, sync_all_ms = 0;
  int sync_requests = 0, sync_busy = 0;
  std::int64_t sent = 0, stored = 0, distinct = 0, matched = 0;
  double idle_mb = 0, login_peak_mb = 0, serving_peak_mb = 0;
};

// The port of "quorvex-server: слушает http://127.0.0.1:PORT, база данных: ...".
int PortOf(const std::string& line) {
  const std::string address = line.substr(0, line.find(','));
  const std::size_t colon = address.rfind(':');
  if (line.find("слушает") == std::string::npos || colon == std::string::npos)
    throw std::runtime_error("quorvex-server did not start: \"" + line + "\"");
  return std::stoi(address.substr(colon + 1));
}

// `count` new entries from one installer's page on the objects of `cards`.
std::vector<archive::Entry> NewEntries(const std::vector<archive::Card>& cards,
                                       const std::vector<int>& numbers, int count,
                                       const std::string& installer) {
  std::vector<archive::Entry> entries;
  for (int i = 0; i < count; ++i) {
    const std::size_t which = static_cast<std::size_t>(i) % cards.size();
    archive::Entry entry = CompanyEntry(cards[which], numbers[which], i);
    entry.at = archive::NowText();
    entry.installer = installer;
    entries.push_back(std::move(entry));
  }
  return entries;
}

void MeasureSearch(ServerSession& session, const CompanySize& size, Served& served) {
  std::vector<double> pings;
  for (int i = 0; i < kPings; ++i) {
    const Clock::time_point start = Clock::now();
    session.Ping();
    pings.push_back(Ms(Clock::now() - start));
  }
  served.ping_p50 = Percentile(pings, 0.5);
  const std::vector<Query> queries = CompanyQueries(size.objects, kQueriesPerKind);
  for (int i = 0; i < kWarmUpQueries; ++i)
    session.Search(queries[static_cast<std::size_t>(i)].text);
  std::vector<double> all;
  std::map<std::string, std::vector<double>> by_kind;
  for (const Query& query : queries) {
    const Clock::time_point start = Clock::now();
    const std::int64_t found = session.Search(query.text);
    const double ms = Ms(Clock::now() - start);
    // A number or a phone may be a deleted card's, which is not searched.
    if ((query.kind == "none" && found != 0) || (query.kind == "name" && found == 0))
      throw std::runtime_error("search \"" + query.text + "\" found " + std::to_string(found));
    all.push_back(ms);
    by_kind[query.kind].push_back(ms);
  }
  served.search_p50 = Percentile(all, 0.5);
  served.search_p95 = Percentile(all, 0.95);
  for (const auto& [kind, times] : by_kind) served.kind_p95[kind] = Percentile(times, 0.95);
}

// Twenty installers' pages, each uploading its entries at the same moment
// and reading the answer's parts to the end; the time until the last is done.
double SyncAtOnce(std::vector<std::unique_ptr<ServerSession>>& sessions,
                  const std::vector<std::string>& uploads, Served& served) {
  std::mutex mutex;
  std::condition_variable go;
  bool started = false;
  std::vector<Clock::time_point> ends(sessions.size());
  std::vector<SyncDone> done(sessions.size());
  std::vector<std::string> failures(sessions.size());
  std::vector<std::thread> clients;
  Clock::time_point start;
  for (std::size_t k = 0; k < sessions.size(); ++k)
    clients.emplace_back([&, k] {
      {
        std::unique_lock lock(mutex);
        go.wait(lock, [&] { return started; });
      }
      try {
        done[k] = sessions[k]->Sync(uploads[k]);
      } catch (const std::exception& error) {
        failures[k] =
            std::string(error.what()) + " after " + Milliseconds(Ms(Clock::now() - start));
      }
      ends[k] = Clock::now();
    });
  {
    std::lock_guard lock(mutex);
    start = Clock::now();
    started = true;
  }
  go.notify_all();
  for (std::thread& client : clients) client.join();
  std::string failed;
  for (const std::string& failure : failures)
    if (!failure.empty()) failed += (failed.empty() ? "" : "; ") + failure;
  if (!failed.empty()) throw std::runtime_error(failed);
  for (const SyncDone& one : done) {
    served.sync_requests += one.requests;
    served.sync_busy += one.busy;
  }
  return Ms(*std::max_element(ends.begin(), ends.end()) - start);
}

Served Measure(const std::string& program, const Database& database, const CompanySize& size,
               const fs::path& page, const std::string& log) {
  std::vector<std::string> argv = {program, "--listen", "127.0.0.1:0", "--page", page.string()};
  argv.insert(argv.end(), database.args.begin(), database.args.end());
  Background server(argv, log);
  const int port = PortOf(server.FirstLine(std::chrono::minutes(5)));
  const int pid = server.Pid();
  Served served;
  served.idle_mb = StatusMegabytes(pid, "VmRSS");

  // The objects the pages journal on, read before anything is measured.
  std::vector<int> numbers;
  std::vector<archive::Card> cards;
  {
    ServerSession reader(port, InstallerName(0), kInstallerPassword, false);
    for (int i = 0; i < 25; ++i) {
      numbers.push_back(static_cast<int>((std::int64_t{i} * 3989 + 17) % size.objects));
      cards.push_back(reader.Card(std::to_string(numbers.back() + 1)));
    }
  }
  // Logins one after another, as installers arrive: each is an Argon2id
  // check, which alone takes tens of megabytes.
  auto searcher = std::make_unique<ServerSession>(port, InstallerName(0), kInstallerPassword, true);
  std::vector<std::unique_ptr<ServerSession>> pages;
  for (int k = 0; k < size.installers; ++k)
    pages.push_back(
        std::make_unique<ServerSession>(port, InstallerName(k), kInstallerPassword, false));
  served.login_peak_mb = StatusMegabytes(pid, "VmHWM");
  ResetPeak(pid);

  MeasureSearch(*searcher, size, served);
  searcher.reset();  // its kept connection would hold one of the server's threads

  // One page alone first: the reference, and the cursor every page then has.
  std::set<std::string> sent;
  const std::vector<archive::Entry> alone =
      NewEntries(cards, numbers, kEntriesPerClient, InstallerName(0));
  const std::string alone_upload = SyncUpload(database.filled.cursor, alone);
  Clock::time_point start = Clock::now();
  const SyncDone first = pages[0]->Sync(alone_upload);
  served.sync_one_ms = Ms(Clock::now() - start);

  std::vector<std::string> uploads;
  for (int k = 0; k < size.installers; ++k) {
    std::vector<archive::Card> own;
    std::vector<int> own_numbers;
    for (int i = 0; i < 5; ++i) {
      const std::size_t which = static_cast<std::size_t>(k * 5 + i) % cards.size();
      own.push_back(cards[which]);
      own_numbers.push_back(numbers[which]);
    }
    const std::vector<archive::Entry> entries =
        NewEntries(own, own_numbers, kEntriesPerClient, InstallerName(k));
    for (const archive::Entry& entry : entries) sent.insert(entry.id);
    uploads.push_back(SyncUpload(first.cursor, entries));
  }
  served.sync_all_ms = SyncAtOnce(pages, uploads, served);
  served.serving_peak_mb = StatusMegabytes(pid, "VmHWM");
  pages.clear();
  server.Stop();

  const std::vector<std::string> stored = EntryIdsAfter(database.target, first.cursor);
  const std::set<std::string> distinct(stored.begin(), stored.end());
  served.sent = static_cast<std::int64_t>(sent.size());
  served.stored = static_cast<std::int64_t>(stored.size());
  served.distinct = static_cast<std::int64_t>(distinct.size());
  served.matched = static_cast<std::int64_t>(std::count_if(
      sent.begin(), sent.end(), [&](const std::string& id) { return distinct.count(id); }));
  return served;
}

// Measure, a failure told with the end of the server's log, which names
// the cause of an answer 500.
Served Serve(const std::string& program, const Database& database, const CompanySize& size,
             const fs::path& folder) {
  const std::string log = (folder / ("server-" + database.name + ".log")).string();
  try {
    return Measure(program, database, size, folder / "page", log);
  } catch (const std::runtime_error& error) {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      if (line.find(" 200") == std::string::npos) lines.push_back(line);
    std::string told = error.what();
    for (std::size_t i = lines.size() > 5 ? lines.size() - 5 : 0; i < lines.size(); ++i)
      told += "\n  " + lines[i];
    throw std::runtime_error(database.name + ": " + told);
  }
}

}  // namespace

std::vector<Row> ServerRows(const std::string& bin, const CompanySize& size, std::ostream& notes) {
  const fs::path folder =
      fs::temp_directory_path() / ("quorvex-bench-server-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "page");
  fs::create_directories(folder / "data");
  // A gigabyte of databases is not left behind by a failed run either.
  struct Remove {
    fs::path folder;
    ~Remove() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
    }
  } remove{folder};

  Database sqlite{"SQLite",
                  (folder / "data" / "quorvex-server.db").string(),
                  {"--data", (folder / "data").string()},
                  {}};
  sqlite.filled = FillSqlite(sqlite.target, size);
  test::PostgresServer& cluster = test::PostgresServer::Shared();
  if (!cluster.Running())
    throw std::runtime_error("PostgreSQL: " + cluster.SkipReason() + cluster.Failure());
  Database postgres{"PostgreSQL", cluster.NewDatabase(), {}, {}};
  if (postgres.target.empty()) throw std::runtime_error("PostgreSQL: " + cluster.Failure());
  postgres.args = {"--database", postgres.target};
  postgres.filled = CopyToPostgres(sqlite.target, postgres.target);

  const std::string program = bin + "/quorvex-server";
  std::vector<std::pair<const Database*, Served>> runs;
  for (const Database* database : {&sqlite, &postgres})
    runs.emplace_back(database, Serve(program, *database, size, folder));

  const std::string company = Thousands(size.objects) + " objects, " +
                              Thousands(std::int64_t{size.objects} * size.entries_per_object) +
                              " entries";
  const std::string clients = std::to_string(size.installers) + " clients × " +
                              std::to_string(kEntriesPerClient) + " entries";
  std::vector<Row> rows;
  // Each figure on both databases, one row under the other.
  const auto each = [&](auto row_of) {
    for (const auto& [database, served] : runs) rows.push_back(row_of(*database, served));
  };
  each([&](const Database& d, const Served&) {
    return Row{"server " + d.name + ": fill " + company +
                   (d.name == "SQLite" ? " (the server's store)" : " (COPY from SQLite)"),
               Seconds(d.filled.seconds), "the limit, " + Seconds(kFillLimitSeconds),
               d.filled.seconds / kFillLimitSeconds, "1.00"};
  });
  each([&](const Database& d, const Served& s) {
    return Row{"server " + d.name + ": search p50 over HTTP", Milliseconds(s.search_p50),
               "GET /api/session p50 " + Milliseconds(s.ping_p50), s.search_p50 / s.ping_p50, ""};
  });
  each([&](const Database& d, const Served& s) {
    return Row{"server " + d.name + ": search p95 over HTTP", Milliseconds(s.search_p95),
               "the target, " + Milliseconds(kSearchTargetMs), s.search_p95 / kSearchTargetMs,
               "1.00"};
  });
  each([&](const Database& d, const Served& s) {
    return Row{
        "server " + d.name + ": " + clients + " synced at once", Milliseconds(s.sync_all_ms),
        "1 client × " + std::to_string(kEntriesPerClient) + " alone " + Milliseconds(s.sync_one_ms),
        s.sync_all_ms / s.sync_one_ms, ""};
  });
  each([&](const Database& d, const Served& s) {
    Row row{"server " + d.name + ": entries stored by those syncs",
            Thousands(s.stored) + " (" + Thousands(s.distinct) + " ids)",
            Thousands(s.sent) + " sent", 0.0, "1.00"};
    row.exact = true;
    // Every one sent stored once, and nothing else: the ratio is 1 only then.
    row.ratio = s.stored == s.sent && s.distinct == s.sent && s.matched == s.sent
                    ? 1.0
                    : static_cast<double>(s.matched) / static_cast<double>(s.sent);
    return row;
  });
  each([&](const Database& d, const Served& s) {
    return Row{"server " + d.name + ": peak RSS, the searches and syncs",
               Megabytes(s.serving_peak_mb), "idle after start " + Megabytes(s.idle_mb),
               s.serving_peak_mb / s.idle_mb, ""};
  });
  each([&](const Database& d, const Served& s) {
    return Row{"server " + d.name + ": peak RSS, " + std::to_string(size.installers + 1) +
                   " logins one by one",
               Megabytes(s.login_peak_mb), "idle after start " + Megabytes(s.idle_mb),
               s.login_peak_mb / s.idle_mb, ""};
  });
  for (const auto& [database, served] : runs) {
    notes << database->name << ": " << Megabytes(database->filled.megabytes)
          << " on disk; search p95 by kind:";
    for (const auto& [kind, p95] : served.kind_p95)
      notes << " " << kind << " " << Milliseconds(p95);
    notes << "; " << served.sync_requests << " sync requests, " << served.sync_busy
          << " answered 503 and asked again\n";
  }
  return rows;
}

}  // namespace qvx::bench
