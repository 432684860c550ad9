#pragma once
// Runs a program built beside the tests and waits for it.

#include <string>
#include <vector>

// Runs program (a path as CMake knows it) with args, its standard output and
// error going to the two files. Returns the exit status, or -1 when it could
// not run. With peakKiB, stores the program's peak resident memory in KiB
// there, or -1 where the platform's runner cannot tell.
int RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdoutPath,
               const std::string& stderrPath, long long* peakKiB = nullptr);

// A program started without waiting for it, in folder, its error output going
// to stderrPath, that a test interrupts as a user would: with a signal on
// Linux, with Ctrl+C in the console of its own it gets on Windows.
class StartedProgram
{
public:
  StartedProgram(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                 const std::string& stderrPath);
  // Kills the program if it still runs.
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool Started() const;
  // The interrupts a user can send here, by their signal numbers: SIGINT,
  // SIGTERM and SIGHUP on Linux; SIGINT (Ctrl+C) on Windows, where
  // Ctrl+Break and closing the console cannot be sent to a program under Wine.
  static std::vector<int> Interrupts();
  void Interrupt(int signal);
  // Waits at most `seconds` for the end (then kills the program). True when
  // it ended as the interrupt ends a program: by that signal on Linux (a
  // shell reports 128 + signal), with STATUS_CONTROL_C_EXIT on Windows; how
  // tells how it ended either way.
  bool EndedByInterrupt(int signal, double seconds, std::string& how);

private:
  void* process = nullptr;  // Windows: the process handle
  long long id = -1;        // the process id
};
