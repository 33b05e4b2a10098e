#include "bench/server_company.h"

#include <cstdint>
#include <cstdio>

#include "config_file/settings_line.h"
#include "settings/memory_settings.h"

namespace qvx::bench {
namespace {

constexpr const char* kSurnames[] = {
    "Иванов",  "Петров",  "Смирнов",  "Кузнецов", "Попов",    "Васильев",    "Соколов", "Михайлов",
    "Новиков", "Фёдоров", "Морозов",  "Волков",   "Алексеев", "Лебедев",     "Семёнов", "Егоров",
    "Павлов",  "Козлов",  "Степанов", "Николаев", "Орлов",    "Андреев",     "Макаров", "Никитин",
    "Захаров", "Зайцев",  "Соловьёв", "Борисов",  "Яковлев",  "Григорьев",   "Романов", "Воробьёв",
    "Сергеев", "Кузьмин", "Фролов",   "Дмитриев", "Королёв",  "Александров", "Гусев",   "Киселёв"};
constexpr const char* kInitials = "АБВГДЕИКЛМНОПРСТ";  // two bytes of UTF-8 each
constexpr const char* kFirms[] = {"ООО «Ромашка", "ИП Белова",           "ООО «Северный ветер",
                                  "АО «Стройтех", "ООО «Аптека на углу", "ООО «Шиномонтаж"};
constexpr const char* kStreets[] = {
    "ул. Садовая",    "ул. Ленина",       "пр. Мира",        "ул. Гагарина",      "ул. Пушкина",
    "ул. Советская",  "ул. Лесная",       "ул. Школьная",    "ул. Набережная",    "ул. Молодёжная",
    "ул. Заречная",   "пер. Почтовый",    "ул. Полевая",     "ул. Комсомольская", "ул. Строителей",
    "ш. Энтузиастов", "ул. Первомайская", "ул. Центральная", "ул. Новая",         "б-р Победы",
    "ул. Рабочая",    "ул. Зелёная",      "ул. Луговая",     "ул. Октябрьская"};
constexpr const char* kTowns[] = {"г. Москва",   "г. Химки",   "г. Мытищи",
                                  "г. Подольск", "г. Королёв", "пос. Заречье"};
// Names no card has: the search that finds nothing.
constexpr const char* kAbsent[] = {"Шереметьев", "Ёлкин-Палкин", "Тридесятое царство", "Zyxwvut",
                                   "Лукоморье, д. 1"};
constexpr const char* kFragments[] = {"кузнец",    "ПЕТРОВ",  "Садов",   "солов",
                                      "энтузиаст", "Ромашка", "молодёж", "королёв"};

template <typename T, std::size_t N>
constexpr std::size_t Count(const T (&)[N]) {
  return N;
}

// A well-mixed number of `n` and `salt` (splitmix64): the same each run.
std::uint64_t Mixed(std::uint64_t n, std::uint64_t salt) {
  std::uint64_t z = n * 0x9e3779b97f4a7c15ULL + salt;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

std::string Initial(std::uint64_t bits) {
  const std::size_t letter = bits % 16;
  return std::string(kInitials + letter * 2, 2) + ".";
}

// "+7 (916) 123-45-67": a mobile number of its own for `n` and `which`.
std::string Phone(int n, int which) {
  const std::uint64_t bits = Mixed(static_cast<std::uint64_t>(n), 17 + which);
  char text[64];
  std::snprintf(text, sizeof text, "+7 (9%02u) %03u-%02u-%02u", unsigned(bits % 100),
                unsigned(bits / 100 % 1000), unsigned(bits / 100'000 % 100),
                unsigned(bits / 10'000'000 % 100));
  return text;
}

// A stored time `minutes` after 2023-01-01 00:00 UTC, at most four years on.
std::string TimeAfterStart(std::uint64_t minutes) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::uint64_t days = minutes / 1440;
  int year = 2023;
  for (;;) {
    const int in_year = year % 4 == 0 ? 366 : 365;
    if (days < static_cast<std::uint64_t>(in_year)) break;
    days -= static_cast<std::uint64_t>(in_year);
    ++year;
  }
  int month = 0;
  for (;; ++month) {
    const int in_month = kDays[month] + (month == 1 && year % 4 == 0 ? 1 : 0);
    if (days < static_cast<std::uint64_t>(in_month)) break;
    days -= static_cast<std::uint64_t>(in_month);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02u:%02u:%02u.000Z", year, month + 1,
                int(days) + 1, unsigned(minutes / 60 % 24), unsigned(minutes % 60),
                unsigned(minutes * 7 % 60));
  return text;
}

// When card `n` was made: within three years from the start.
std::uint64_t CreatedMinute(int n) {
  return Mixed(static_cast<std::uint64_t>(n), 5) % (3 * 365 * 1440);
}

// The device's settings for the customer: its password, and the owner's
// two phones among the subscribers, the other seven left empty.
std::string SettingsOf(int n, const std::string& phone, const std::string& second) {
  MemorySettings settings;
  settings.SetText("Edit25", std::to_string(1000 + Mixed(static_cast<std::uint64_t>(n), 3) % 9000));
  static constexpr const char* kSubscribers[] = {"Edit16", "Edit17", "Edit18", "Edit19", "Edit20",
                                                 "Edit21", "Edit22", "Edit23", "Edit24"};
  for (const char* field : kSubscribers) settings.SetText(field, "");
  settings.SetText("Edit16", phone);
  settings.SetText("Edit17", second);
  return BuildSettingsLine(settings).line;
}

}  // namespace

archive::Card CompanyCard(int n) {
  const auto u = static_cast<std::uint64_t>(n);
  const std::uint64_t bits = Mixed(u, 1);
  archive::Card card;
  card.id = archive::NewId();
  card.number = std::to_string(n + 1);
  if (bits % 10 == 0) {
    card.name = std::string(kFirms[bits / 10 % Count(kFirms)]) +
                (bits / 100 % 2 ? "»" : "-" + std::to_string(bits / 1000 % 90 + 1) + "»");
    if (card.name.rfind("ИП", 0) == 0) card.name.resize(card.name.rfind("»"));
  } else {
    card.name = std::string(kSurnames[bits / 10 % Count(kSurnames)]) + (bits / 500 % 3 ? "" : "а") +
                " " + Initial(bits >> 20) + Initial(bits >> 24);
  }
  // Three customers in four in the city itself.
  const std::size_t town = (bits >> 28) % 4 != 0 ? 0 : (bits >> 30) % Count(kTowns);
  card.address = std::string(kTowns[town]) + ", " + kStreets[(bits >> 32) % Count(kStreets)] +
                 ", д. " + std::to_string((bits >> 40) % 150 + 1) + ", кв. " +
                 std::to_string((bits >> 48) % 300 + 1);
  card.phone = Phone(n, 0);
  card.note = bits % 7 == 0 ? "ключи у соседа, кв. " + std::to_string(bits % 300 + 1) : "";
  card.settings = SettingsOf(n, card.phone, Phone(n, 1));
  const std::uint64_t created = CreatedMinute(n);
  card.created_at = TimeAfterStart(created);
  card.changed_at = TimeAfterStart(created + Mixed(u, 6) % (200 * 1440));
  card.created_by = InstallerName(static_cast<int>(bits % 20));
  card.changed_by = InstallerName(static_cast<int>(bits / 20 % 20));
  card.version = static_cast<std::int64_t>(bits % 3 + 1);
  card.deleted = bits % 100 == 42;
  return card;
}

archive::Entry CompanyEntry(const archive::Card& card, int n, int k) {
  archive::Entry entry;
  entry.id = archive::NewId();
  entry.object_id = card.id;
  // A visit every few weeks after the card was made.
  const auto u = static_cast<std::uint64_t>(n);
  entry.at = TimeAfterStart(CreatedMinute(n) + static_cast<std::uint64_t>(k) * 20 * 1440 +
                            Mixed(u * 64 + static_cast<std::uint64_t>(k), 7) % 1440);
  entry.installer = card.changed_by;
  entry.port = "/dev/ttyUSB" + std::to_string(k % 4);
  switch (k % 3) {
    case 0:
      entry.command = std::string(archive::kWriteVerifyCommand);
      entry.outcome = "verifyEqual";
      entry.outcome_text = "записано и проверено";
      break;
    case 1:
      entry.command = std::string(archive::kReadCommand);
      entry.outcome = "readSuccess";
      entry.outcome_text = "прочитано";
      break;
    default:
      entry.command = std::string(archive::kWriteCommand);
      entry.outcome = "sent";
      entry.outcome_text = "данные отправлены";
  }
  entry.settings = card.settings;
  entry.differing = k == 0 ? 0 : static_cast<std::int64_t>(k % 4);
  return entry;
}

std::string InstallerName(int k) {
  return "монтажник-" + std::to_string(k + 1);
}

std::vector<Query> CompanyQueries(int objects, int count) {
  std::vector<Query> queries;
  for (int i = 0; i < count; ++i) {
    const auto u = static_cast<std::uint64_t>(i);
    const int object = static_cast<int>(Mixed(u, 91) % static_cast<std::uint64_t>(objects));
    queries.push_back({"name", kFragments[i % Count(kFragments)]});
    queries.push_back({"number", std::to_string(object + 1)});
    // Seven of the phone's digits as typed: "916 123-45".
    const std::string phone = Phone(object, static_cast<int>(u % 2));
    queries.push_back({"phone", phone.substr(4, 3) + " " + phone.substr(9, 6)});
    queries.push_back({"none", kAbsent[i % Count(kAbsent)]});
  }
  return queries;
}

}  // namespace qvx::bench
