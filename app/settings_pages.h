// Builds the ten settings pages of the main window from the tab layouts of
// the catalogue (settings/page_layout.h). Every control gets its catalogue
// name as object name and is entered into the controls index; sliders,
// radio buttons and text fields start at their defaults, lists stay empty
// until the window's creation handler fills them.
#pragma once

#include <vector>

class QWidget;

namespace qvx {

class ControlSettings;

// pages[i] is the page of the tab TabLayouts()[i + 1]; each control made is
// added to controls.
void BuildSettingsPages(const std::vector<QWidget*>& pages, ControlSettings& controls);

}  // namespace qvx
