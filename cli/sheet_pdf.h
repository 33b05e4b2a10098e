// The settings sheet's HTML laid out by Qt's rich text on A4 pages, as PDF.
#pragma once

#include <string>

namespace qvx::cli {

// Lays `html` out on A4 pages (margins 15 mm, a page number at the foot of
// each page) and returns the PDF's bytes. Lengths in px count 96 per inch,
// as in a browser. A table continued on another page repeats its header
// rows there; a table whose header rows would stand at the foot of a page
// without a row of its body starts on the next page. Needs a
// QGuiApplication.
std::string SheetPdf(const std::string& html, const std::string& title, const std::string& creator);

}  // namespace qvx::cli
