#pragma once
// What the command-line tools ask of the console they run in.

namespace ThrumwellHost
{

// Whether standard error is an interactive terminal, where progress may be shown.
bool StderrIsTerminal();

}  // namespace ThrumwellHost
