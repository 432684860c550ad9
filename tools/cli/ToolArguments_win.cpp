#include "tools/cli/ToolArguments.h"

#include "host/HostUtf8.h"

#include <windows.h>

namespace ThrumwellCli
{

// The wide command line, split as the C runtime splits it for argv; the
// runtime's own arguments stand where there is no wide line to read.
ToolArguments::ToolArguments(int argc, char** argv)
  : ToolArguments(GetCommandLineW() ? SplitWindowsCommandLine(ThrumwellHost::Utf8Text(GetCommandLineW()))
                                    : std::vector<std::string>(argv, argv + argc))
{
}

}  // namespace ThrumwellCli
