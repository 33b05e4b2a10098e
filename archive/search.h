// The search over objects: by number, name and address, whatever the case
// (Cyrillic too, "ё" as "е"), and by the digits of the contact's phone and
// of the nine subscriber phones (Edit16..Edit24), whatever their spaces,
// dashes and brackets. The card's row keeps both derived forms, so that the
// search is one SELECT that SQLite runs alike natively and in the page.
#pragma once

#include <cstdint>
#include <string>

#include "archive/records.h"
#include "archive/statement.h"

namespace qvx::archive {

// The text folded for comparing: lowercase ASCII and Cyrillic, "ё" as "е".
std::string FoldCase(const std::string& text);

// The card's number, name and address folded, one a line.
std::string SearchTextOf(const Card& card);

// The digits of the card's phone and of each subscriber phone of its
// settings, each run of digits apart (" 79161234567 84951234567 ").
std::string PhoneDigitsOf(const Card& card);

// The most cards a list shows: past them the installer refines the search,
// and neither side carries thousands of rows it will not read.
inline constexpr std::int64_t kListLimit = 200;

// Cards not deleted whose number, name or address holds `text` (folded), or
// whose phones hold the digits of `text` (when it has some and no letters),
// newest change first; every card for an empty text. Rows of CardColumns().
Statement SearchObjects(const std::string& text);

// The first `limit` + 1 of SearchObjects(text): a row past `limit` tells
// that more match without counting them all.
Statement SearchObjects(const std::string& text, std::int64_t limit);

// One row, one column: the number of cards SearchObjects(text) finds.
Statement CountObjects(const std::string& text);

// The deleted cards ("Удалённые"), newest change first.
Statement DeletedObjects();

}  // namespace qvx::archive
