#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "tools/player/PlayerPlatform.h"

#include "host/HostModule.h"
#include "host/HostRunLoop.h"

namespace {

// The console's settings before KeyboardOpen, to restore.
termios savedConsole{};
bool consoleChanged = false;
bool inputEnded = false;

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

void DrawAtMonitorScale() {}

void KeyboardOpen()
{
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedConsole) != 0)
    return;
  termios raw = savedConsole;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  consoleChanged = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

int ReadKey()
{
  if (inputEnded)
    return -1;
  pollfd input{STDIN_FILENO, POLLIN, 0};
  if (poll(&input, 1, 0) <= 0 || !(input.revents & (POLLIN | POLLHUP)))
    return -1;
  unsigned char key = 0;
  if (read(STDIN_FILENO, &key, 1) != 1)
  {
    // The end of a pipe or of /dev/null: nothing more will come.
    inputEnded = true;
    return -1;
  }
  return key;
}

void KeyboardClose()
{
  if (consoleChanged)
    tcsetattr(STDIN_FILENO, TCSANOW, &savedConsole);
  consoleChanged = false;
}

void OfferRunLoop(ThrumwellHost::HostModule& module, ThrumwellHost::HostRunLoop& loop)
{
  module.SetHostContext(&loop);
}
