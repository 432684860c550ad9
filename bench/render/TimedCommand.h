#pragma once
// What the renderer's benchmarks share: running a program through the shell
// and timing it, and a file name in the temporary folder.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

// Seconds the shell command took, or a negative number when it failed.
inline double TimedCommand(const std::string& command)
{
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return status == 0 ? took.count() : -1.0;
}

// name in the temporary folder.
inline std::string ScratchFile(const std::string& name)
{
  return (std::filesystem::temp_directory_path() / name).string();
}
