#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <system_error>

#include "tools/player/PlayerPlatform.h"

#include "host/HostModule.h"
#include "host/HostRunLoop.h"

namespace {

volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int) { stopSignal = 1; }

}  // namespace

std::filesystem::path PlayerConfigFolder()
{
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/')
    return std::filesystem::path(config) / "thrumwell";
  const char* home = std::getenv("HOME");
  if (home && home[0])
    return std::filesystem::path(home) / ".config" / "thrumwell";
  return {};
}

std::filesystem::path PlayerExecutableFolder()
{
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self.parent_path();
}

void InstallStopHandler()
{
  struct sigaction action{};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

bool StopRequested() { return stopSignal != 0; }

void OfferRunLoop(ThrumwellHost::HostModule& module, ThrumwellHost::HostRunLoop& loop)
{
  module.SetHostContext(&loop);
}
