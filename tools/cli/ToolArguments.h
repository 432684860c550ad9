#pragma once
// A tool's command-line arguments as UTF-8, whatever the platform. Windows
// hands main its arguments in the ANSI code page, where a file name in most
// scripts (or with an emoji) turns into question marks; there they are read
// again from the wide command line. On Linux they are main's own bytes.
//
//   int main(int argc, char** argv)
//   {
//     ThrumwellCli::ToolArguments arguments(argc, argv);
//     argc = arguments.Count();
//     argv = arguments.Values();

#include <string>
#include <vector>

namespace ThrumwellCli
{

class ToolArguments
{
public:
  // The platform's arguments (ToolArguments_win.cpp, ToolArguments_linux.cpp).
  ToolArguments(int argc, char** argv);
  explicit ToolArguments(std::vector<std::string> texts);
  ToolArguments(const ToolArguments&) = delete;
  ToolArguments& operator=(const ToolArguments&) = delete;

  int Count() const { return static_cast<int>(texts.size()); }
  // argv as main has it: Count() texts, then a null pointer; valid while
  // this object lives.
  char** Values() { return values.data(); }

private:
  std::vector<std::string> texts;
  std::vector<char*> values;
};

// A Windows command line (as UTF-8) split into arguments by the rules
// Microsoft documents for C programs, so that the tools see what argv would
// hold with every character kept: the program's name ends at the closing quote or the first blank;
// then blanks separate arguments outside quotes, 2n backslashes before a
// quote are n backslashes and the quote opens or closes quoting, 2n+1 are n
// and a literal quote, other backslashes are literal, and "" inside quotes
// is a literal quote.
std::vector<std::string> SplitWindowsCommandLine(const std::string& line);

}  // namespace ThrumwellCli
