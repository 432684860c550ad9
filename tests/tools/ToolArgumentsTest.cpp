// A Windows command line split as the C runtime splits it for argv, so that
// the tools read the same arguments from the wide command line, every
// character kept.

#include "tools/cli/ToolArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

TEST(ToolArguments, SplitsAWindowsCommandLineAsTheCRuntimeDoes)
{
  const struct
  {
    const char* line;
    std::vector<std::string> arguments;
  } rows[] = {
    // The program's name: quoted up to the next quote, backslashes literal.
    {R"("C:\Program Files\Thrumwell\thrumwell-render.exe" -o out.wav)",
     {R"(C:\Program Files\Thrumwell\thrumwell-render.exe)", "-o", "out.wav"}},
    {R"(C:\tools\render.exe "a b")", {R"(C:\tools\render.exe)", "a b"}},
    {"render.exe", {"render.exe"}},
    {"", {""}},
    // Blanks, quotes and backslashes in the arguments.
    {"p \"a b c\" d e", {"p", "a b c", "d", "e"}},
    {"p\t a \t\tb  ", {"p", "a", "b"}},
    {R"(p "ab\"c" "\\" d)", {"p", "ab\"c", "\\", "d"}},
    {R"(p a\\\b d"e f"g h)", {"p", R"(a\\\b)", "de fg", "h"}},
    {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
    {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
    {R"(p a"b"" c d)", {"p", "ab\" c d"}},
    {R"(p "" "")", {"p", "", ""}},
    {R"(p "Z:\music\")", {"p", "Z:\\music\""}},
    {R"(p "Z:\music\\")", {"p", "Z:\\music\\"}},
    // UTF-8 passes through unchanged, in quotes or not.
    {u8"p -o \"Regen — 雨.flac\" --input 🌧.wav", {"p", "-o", u8"Regen — 雨.flac", "--input", u8"🌧.wav"}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(ThrumwellCli::SplitWindowsCommandLine(row.line), row.arguments) << row.line;
}

TEST(ToolArguments, HoldsTextsAsMainsArgv)
{
  ThrumwellCli::ToolArguments arguments(std::vector<std::string>{"tool", u8"Ärger ☂.wav", ""});
  ASSERT_EQ(arguments.Count(), 3);
  EXPECT_STREQ(arguments.Values()[1], u8"Ärger ☂.wav");
  EXPECT_STREQ(arguments.Values()[2], "");
  EXPECT_EQ(arguments.Values()[3], nullptr);
}

}  // namespace
