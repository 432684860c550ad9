#include "host/HostConsole.h"

#include <unistd.h>

namespace ThrumwellHost
{

bool StderrIsTerminal()
{
  return isatty(STDERR_FILENO) != 0;
}

}  // namespace ThrumwellHost
