#pragma once
// A tool stopped by the user ends by its own hand: after InstallStopHandler,
// Ctrl+C, SIGTERM and SIGHUP (Linux) or Ctrl+C, Ctrl+Break and closing the
// console (Windows) only raise a flag, which the tool's main loop reads with
// StopRequested between blocks of work. The tool then cleans up (removes
// what it half wrote, saves what it keeps), calls StopHandled and ends with
// StoppedExitStatus. StopRequest_linux.cpp, StopRequest_win.cpp.

namespace ThrumwellCli
{

// From here on a stop request no longer ends the process at once. On Linux a
// signal that was ignored when the tool started (nohup) stays ignored.
void InstallStopHandler();

// Whether a stop was requested; may be called from any thread.
bool StopRequested();

// The main thread is done cleaning up after a stop. Windows ends a process
// whose console is being closed as soon as its handler returns, so that
// handler waits for this (a few seconds at the most); elsewhere nothing.
void StopHandled();

// Ends an interrupted run as the stop would have ended it without a handler,
// so that the caller (a shell, a script's loop, a build) knows it was
// interrupted, not failed: Linux restores the signal's default action and
// raises it again (the shell reports 128 + the signal: 130 for Ctrl+C, 143
// for SIGTERM, 129 for SIGHUP); Windows returns STATUS_CONTROL_C_EXIT
// (0xC000013A), the status of a console program ended by Ctrl+C. Returns the
// status for main to return where the process is still there.
int StoppedExitStatus();

}  // namespace ThrumwellCli
