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
