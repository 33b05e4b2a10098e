// A start-up probe for the benchmarks: with QUORVEX_STARTUP_PROBE set in the
// environment, the first paint of a window prints the moment it was done and
// quits the application. Without the variable it does nothing at all.
#pragma once

class QWidget;

namespace qvx {

inline constexpr const char* kStartupProbeVariable = "QUORVEX_STARTUP_PROBE";

// Watches `window` when the variable is set. Once its first paint has been
// flushed, prints "first-paint <ns>" (CLOCK_MONOTONIC, in nanoseconds, so that
// the process that started this one can subtract its own clock reading) on
// stdout and quits the application.
void WatchFirstPaint(QWidget& window);

}  // namespace qvx
