#pragma once
// Runs a program as a child process under a watchdog, its output going to a
// file, so that whatever it does (crash, hang, abort) the caller lives on and
// can tell what happened. One implementation per platform.

#include <string>
#include <vector>

struct ChildOutcome
{
  enum Kind
  {
    kExited,     // code holds the exit status
    kCrashed,    // ended by a signal or an exception; code holds which
    kTimedOut,   // killed by the watchdog
    kNotStarted  // could not be started; what says why
  };
  Kind kind = kNotStarted;
  long code = 0;
  std::string what;  // one line for a report
};

// Runs program with args (not including the program itself), stdout and
// stderr into logPath, and kills it after timeoutSeconds.
ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
                      int timeoutSeconds);

// Called first in a child: a crash must end it at once with a status that
// tells the crash (on Windows an unhandled exception ends the process with
// its code instead of calling a debugger or showing a dialog).
void PrepareChildProcess();

// The running program's own path.
std::string SelfPath();
