// Builds the ten settings pages of the main window from the settings
// catalogue. Every control gets its catalogue name as object name; sliders,
// radio buttons and text fields start at their defaults, lists stay empty
// until the window's creation handler fills them.
#pragma once

#include <vector>

class QWidget;

namespace qvx {

// pages[i] is the page of the tab captioned TabCaptions()[i + 1].
void BuildSettingsPages(const std::vector<QWidget*>& pages);

}  // namespace qvx
