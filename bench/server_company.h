// A security company's archive for the server's rows: cards of customers
// with Russian names, addresses and phones, each with its journal, and the
// searches installers type into it. Every record is the same for the same
// number, so both databases hold the same company.
#pragma once

#include <string>
#include <vector>

#include "archive/records.h"

namespace qvx::bench {

struct CompanySize {
  int objects = 100'000;
  int entries_per_object = 10;
  int installers = 20;  // accounts, one per syncing client
};

// The card of object `n` (0-based): its id drawn anew, the rest from `n`.
archive::Card CompanyCard(int n);

// The `k`-th journal entry of `card`, the card of object `n`: a write, a
// verified write or a read of its settings, after its creation; a new id.
archive::Entry CompanyEntry(const archive::Card& card, int n, int k);

// The login name of installer `k`, and the password every bench account has.
std::string InstallerName(int k);
inline constexpr const char* kInstallerPassword = "пароль-стенда-1";

struct Query {
  std::string kind;  // "name", "number", "phone", "none"
  std::string text;  // as typed
};

// `count` searches of each kind over a company of `objects`, interleaved:
// a fragment of a surname or a street, an object's number, a few of a
// phone's digits with the spaces and dashes people type, and a name no
// card has.
std::vector<Query> CompanyQueries(int objects, int count);

}  // namespace qvx::bench
