#include "host/HostConsole.h"

#include <cstdio>
#include <io.h>

namespace ThrumwellHost
{

bool StderrIsTerminal()
{
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace ThrumwellHost
