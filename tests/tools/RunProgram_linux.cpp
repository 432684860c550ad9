#include "tests/tools/RunProgram.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The program's own high-water mark of resident memory, once it runs the
// program: before the exec the child is a copy of this process, whose memory
// is not the program's (and is large in a sanitized test). -1 when unknown.
long long ResidentPeakKiB(pid_t child, const std::string& programPath)
{
  const std::string proc = "/proc/" + std::to_string(child);
  char exe[PATH_MAX] = {};
  const ssize_t n = readlink((proc + "/exe").c_str(), exe, sizeof exe - 1);
  if (n <= 0 || programPath != std::string(exe, static_cast<std::size_t>(n)))
    return -1;
  std::ifstream status(proc + "/status");
  std::string key;
  long long value = -1;
  while (status >> key)
  {
    if (key == "VmHWM:")
    {
      status >> value;
      return value;
    }
    status.ignore(1 << 16, '\n');
  }
  return -1;
}

}  // namespace

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
  char resolved[PATH_MAX] = {};
  const std::string programPath = realpath(program.c_str(), resolved) ? resolved : program;

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
  while (true)
  {
    const pid_t done = waitpid(child, &status, peakKiB ? WNOHANG : 0);
    if (done == child)
      break;
    if (done < 0 && errno != EINTR)
      return -1;
    if (done == 0)
    {
      // The peak only grows; the last reading before the end stands for it.
      const long long peak = ResidentPeakKiB(child, programPath);
      if (peak > *peakKiB)
        *peakKiB = peak;
      usleep(10000);
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

StartedProgram::StartedProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::string& folder, const std::string& stderrPath)
{
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0)
  {
    const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err < 0 || dup2(err, STDERR_FILENO) < 0 || chdir(folder.c_str()) != 0)
      _exit(127);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  id = child;
}

StartedProgram::~StartedProgram()
{
  if (id > 0)
  {
    kill(static_cast<pid_t>(id), SIGKILL);
    waitpid(static_cast<pid_t>(id), nullptr, 0);
  }
}

bool StartedProgram::Started() const { return id > 0; }

std::vector<int> StartedProgram::Interrupts() { return {SIGINT, SIGTERM, SIGHUP}; }

void StartedProgram::Interrupt(int signal)
{
  if (id > 0)
    kill(static_cast<pid_t>(id), signal);
}

bool StartedProgram::EndedByInterrupt(int signal, double seconds, std::string& how)
{
  how = "never started";
  if (id <= 0)
    return false;
  int status = 0;
  bool ended = false;
  for (int waited = 0; waited < static_cast<int>(seconds * 100) && !ended; ++waited)
    if (!(ended = waitpid(static_cast<pid_t>(id), &status, WNOHANG) == static_cast<pid_t>(id)))
      usleep(10000);
  if (!ended)
  {
    how = "still running";
    return false;
  }
  id = -1;
  how = WIFSIGNALED(status) ? "ended by signal " + std::to_string(WTERMSIG(status))
                            : "exited with status " + std::to_string(WEXITSTATUS(status));
  return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}
