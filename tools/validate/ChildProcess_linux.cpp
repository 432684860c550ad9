#include "tools/validate/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& args, const std::string& logPath,
                      int timeoutSeconds)
{
  ChildOutcome outcome;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (log < 0)
  {
    outcome.what = "cannot write " + logPath;
    return outcome;
  }
  const pid_t pid = fork();
  if (pid == 0)
  {
    dup2(log, 1);
    dup2(log, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(log);
  if (pid < 0)
  {
    outcome.what = std::string("fork failed: ") + std::strerror(errno);
    return outcome;
  }

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  for (;;)
  {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid)
      break;
    if (std::chrono::steady_clock::now() > deadline)
    {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      outcome.kind = ChildOutcome::kTimedOut;
      outcome.what = "hung: killed after " + std::to_string(timeoutSeconds) + " s";
      return outcome;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFSIGNALED(status))
  {
    outcome.kind = ChildOutcome::kCrashed;
    outcome.code = WTERMSIG(status);
    outcome.what = std::string("crashed: signal ") + std::to_string(outcome.code) + " (" + strsignal(WTERMSIG(status)) + ")";
  }
  else
  {
    outcome.kind = ChildOutcome::kExited;
    outcome.code = WEXITSTATUS(status);
    outcome.what = "exited with status " + std::to_string(outcome.code);
  }
  return outcome;
}

void PrepareChildProcess() {}

std::string SelfPath()
{
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}
