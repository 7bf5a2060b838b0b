// Time stamps of the steps of start-up, for a measuring build only
// (-DVARNELO_STARTUP_TRACE=ON; bench/startup-trace.sh). In the shipped exe
// VARNELO_TRACE is nothing at all.
#pragma once

#ifdef VARNELO_STARTUP_TRACE
namespace varnelo {
// Notes that `step` has just ended.
void TraceStep(const char* step);
// Writes each step, in milliseconds since the process was created, to
// standard error.
void TraceReport();
}  // namespace varnelo
#define VARNELO_TRACE(step) ::varnelo::TraceStep(step)
#define VARNELO_TRACE_REPORT() ::varnelo::TraceReport()
#else
#define VARNELO_TRACE(step) static_cast<void>(0)
#define VARNELO_TRACE_REPORT() static_cast<void>(0)
#endif
