#include "tools/render/StderrTerminal.h"

#include <cstdio>
#include <io.h>

bool StderrIsTerminal()
{
  return _isatty(_fileno(stderr)) != 0;
}
