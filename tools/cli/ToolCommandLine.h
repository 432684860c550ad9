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

// CLI::ExistingFile for a UTF-8 name on every platform, with CLI11's
// messages: CLI11's own reads the name in Windows' ANSI code page, which
// loses most characters (and cannot convert some at all).
CLI::Validator ExistingFile();

// Adds --version to app and sets the help flag and the help text's look.
void Prepare(CLI::App& app);

// Parses argv. False with one line of explanation in error when the command
// line is malformed; --help and --version succeed and are reported in outcome.
bool Parse(CLI::App& app, int argc, char** argv, Outcome& outcome, std::string& error);

// "TOOL VERSION", the line --version prints.
std::string VersionLine(const std::string& tool);

// A tool's whole command line: declare(app, raw) adds its options to a fresh
// app, writing into raw; after a successful parse, check(app, raw, options,
// error) turns the raw texts into options. Options has help and version flags.
template <class Raw, class Options, class Declare, class Check>
bool ParseTool(const char* tool, const char* description, int argc, char** argv, Options& options,
               std::string& error, Declare declare, Check check)
{
  options = Options();
  CLI::App app(description, tool);
  Raw raw;
  declare(app, raw);
  Outcome outcome;
  if (!Parse(app, argc, argv, outcome, error))
    return false;
  options.help = outcome.help;
  options.version = outcome.version;
  return options.help || options.version || check(app, raw, options, error);
}

// The help text of the same declarations.
template <class Raw, class Declare>
std::string ToolHelp(const char* tool, const char* description, Declare declare)
{
  CLI::App app(description, tool);
  Raw raw;
  declare(app, raw);
  return app.help();
}

// Prints the help text or the version line when asked for; true when it did,
// and the tool is done.
bool AnswerHelpOrVersion(const std::string& tool, bool help, bool version, const std::string& helpText);

// Writes "TOOL: message" to standard error and returns status.
int Report(const std::string& tool, const std::string& message, int status);

}  // namespace ThrumwellCli
