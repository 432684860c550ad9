#include "tools/cli/ToolArguments.h"

namespace ThrumwellCli
{

ToolArguments::ToolArguments(int argc, char** argv) : ToolArguments(std::vector<std::string>(argv, argv + argc)) {}

}  // namespace ThrumwellCli
