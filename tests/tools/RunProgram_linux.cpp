#include "tests/tools/RunProgram.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdoutPath,
               const std::string& stderrPath, long long* peakKiB)
{
  if (peakKiB)
    *peakKiB = -1;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0)
    return -1;
  if (child == 0)
  {
    const int out = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0)
      _exit(127);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage = {};
  // wait4 reports this child's own peak, not that of every child so far.
  while (wait4(child, &status, 0, &usage) < 0)
    if (errno != EINTR)
      return -1;
  if (peakKiB)
    *peakKiB = usage.ru_maxrss;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
