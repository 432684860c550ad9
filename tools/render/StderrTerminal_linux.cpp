#include "tools/render/StderrTerminal.h"

#include <unistd.h>

bool StderrIsTerminal()
{
  return isatty(STDERR_FILENO) != 0;
}
