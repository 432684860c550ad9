#pragma once
// The command-line grammar every Thrumwell tool shares, on CLI11: long
// options with values as separate arguments, -h/--help and --version, one
// line "TOOL: what is wrong" on standard error for a bad command line, and the
// same exit statuses everywhere:
//   0  done (also after --help and --version),
//   1  the work failed (a file could not be written, the plug-in failed),
//   2  the command line was refused; nothing was written.

#include <CLI/CLI.hpp>

#include <string>

namespace ThrumwellCli
{

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// What parsing asked for besides the tool's own options.
struct Outcome
{
  bool help = false;
  bool version = false;
};

// Adds --version to app and sets the help flag and the help text's look.
void Prepare(CLI::App& app);

// Parses argv. False with one line of explanation in error when the command
// line is malformed; --help and --version succeed and are reported in outcome.
bool Parse(CLI::App& app, int argc, char** argv, Outcome& outcome, std::string& error);

// "TOOL VERSION", the line --version prints.
std::string VersionLine(const std::string& tool);

// Writes "TOOL: message" to standard error and returns status.
int Report(const std::string& tool, const std::string& message, int status);

}  // namespace ThrumwellCli
