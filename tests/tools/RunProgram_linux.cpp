#include "tests/tools/RunProgram.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

std::string Quoted(const std::string& text)
{
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdoutPath,
               const std::string& stderrPath)
{
  std::string command = Quoted(program);
  for (const std::string& arg : args)
    command += " " + Quoted(arg);
  command += " >" + Quoted(stdoutPath) + " 2>" + Quoted(stderrPath);
  const int status = std::system(command.c_str());
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
