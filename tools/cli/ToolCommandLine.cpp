#include "tools/cli/ToolCommandLine.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cmake/ThrumwellVersion.h"
#include "host/HostUtf8.h"

namespace ThrumwellCli
{

CLI::Validator ExistingFile()
{
  return CLI::Validator(
    [](std::string& name) {
      std::error_code error;
      const std::filesystem::file_status status = std::filesystem::status(ThrumwellHost::PathFromUtf8(name), error);
      if (error || !std::filesystem::exists(status))
        return "File does not exist: " + name;
      if (std::filesystem::is_directory(status))
        return "File is actually a directory: " + name;
      return std::string();
    },
    "FILE");
}

void Prepare(CLI::App& app)
{
  app.set_help_flag("-h,--help", "Print this help and exit");
  app.add_flag("--version", "Print the version and exit");
  app.get_formatter()->column_width(34);
  // Options are spelt the same on every platform; on Windows CLI11 would
  // otherwise read an argument starting with '/' (a path given under Wine)
  // as an option.
  app.allow_windows_style_options(false);
}

bool Parse(CLI::App& app, int argc, char** argv, Outcome& outcome, std::string& error)
{
  outcome = Outcome();
  try
  {
    app.parse(argc, argv);
  }
  catch (const CLI::CallForHelp&)
  {
    outcome.help = true;
    return true;
  }
  catch (const CLI::ParseError& e)
  {
    error = e.what();
    // CLI11 names the program in some messages; ours come after "TOOL: ".
    const std::string self = app.get_name() + ": ";
    if (error.rfind(self, 0) == 0)
      error.erase(0, self.size());
    for (char& c : error)
      if (c == '\n')
        c = ' ';
    // Our messages start in lower case, like the rest of the line.
    if (!error.empty() && error[0] >= 'A' && error[0] <= 'Z' && (error.size() < 2 || !(error[1] >= 'A' && error[1] <= 'Z')))
      error[0] = static_cast<char>(error[0] - 'A' + 'a');
    return false;
  }
  outcome.version = app.count("--version") > 0;
  return true;
}

std::string VersionLine(const std::string& tool)
{
  return tool + " " + THRUMWELL_VERSION;
}

bool AnswerHelpOrVersion(const std::string& tool, bool help, bool version, const std::string& helpText)
{
  if (help)
    std::fputs(helpText.c_str(), stdout);
  else if (version)
    std::printf("%s\n", VersionLine(tool).c_str());
  return help || version;
}

int Report(const std::string& tool, const std::string& message, int status)
{
  std::fprintf(stderr, "%s: %s\n", tool.c_str(), message.c_str());
  return status;
}

}  // namespace ThrumwellCli
