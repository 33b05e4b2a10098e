// The checks of "Записать" before any port is touched, as data: what the
// window shows (marks, the tab, the refusal's message, in its order) and
// the frame. The engine, the command-line tool's `frame` and the page all
// take them from here.
#pragma once

#include <string>
#include <vector>

#include "device/command_steps.h"
#include "device/text_fields.h"
#include "settings/settings.h"

namespace qvx::device {

struct WriteChecks {
  std::string frame;  // the write frame; empty when refused
  // MarkField, SubscriberTab and Message steps in the order the window
  // shows them: the marks of the stages that passed, then the failing
  // stage's tab and message and, for the port field, its late red.
  std::vector<Step> steps;
  TextFields texts;  // Edit16..Edit30 as the checks left them (normalised)
};

// Normalises and checks Edit16..Edit30 (CheckTextFields), writes the
// normalised texts back into `settings`, refuses a list with no entry
// selected (BuildWriteFrame), and builds the frame when nothing refused.
WriteChecks CheckWrite(Settings& settings);

}  // namespace qvx::device
