#include "tools/cli/StopRequest.h"

#include <signal.h>

#include <cstdio>
#include <initializer_list>

namespace {

// The signal that asked for the stop, 0 before one came. Written only by the
// handler, with the one type a handler may write.
volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int signal) { stopSignal = signal; }

}  // namespace

namespace ThrumwellCli
{

void InstallStopHandler()
{
  struct sigaction action{};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // A write to the output under way when the signal comes is finished, not
  // failed with EINTR: the work stops at the next block instead.
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
  {
    // A signal ignored by whoever started the tool (nohup, a shell's
    // background job) stays ignored.
    struct sigaction before{};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
      sigaction(signal, &action, nullptr);
  }
}

bool StopRequested() { return stopSignal != 0; }

void StopHandled() {}

int StoppedExitStatus()
{
  const int signal = stopSignal;
  if (signal == 0)
    return 1;
  std::fflush(nullptr);
  struct sigaction action{};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  raise(signal);
  // Only where the signal is blocked by whoever started the tool.
  return 128 + signal;
}

}  // namespace ThrumwellCli
