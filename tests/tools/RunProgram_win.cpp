#include "tests/tools/RunProgram.h"

#include <cstdlib>

namespace {

// The build runs on the Linux side of Wine: its absolute paths live on drive Z:.
std::string WindowsPath(std::string path)
{
  if (!path.empty() && path[0] == '/')
    path = "Z:" + path;
  for (char& c : path)
    if (c == '/')
      c = '\\';
  return path;
}

std::string Quoted(const std::string& text)
{
  std::string quoted = "\"";
  for (char c : text)
    quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdoutPath,
               const std::string& stderrPath, long long* peakKiB)
{
  // The program runs under cmd.exe, whose child's memory is out of sight.
  if (peakKiB)
    *peakKiB = -1;
  // cmd.exe strips one pair of outer quotes from the whole line.
  std::string command = "\"" + Quoted(WindowsPath(program));
  for (const std::string& arg : args)
    command += " " + Quoted(arg);
  command += " >" + Quoted(stdoutPath) + " 2>" + Quoted(stderrPath) + "\"";
  return std::system(command.c_str());
}
