#include "tools/cli/ToolArguments.h"

#include <utility>

namespace ThrumwellCli
{

ToolArguments::ToolArguments(std::vector<std::string> all) : texts(std::move(all))
{
  for (std::string& text : texts)
    values.push_back(text.data());
  values.push_back(nullptr);
}

std::vector<std::string> SplitWindowsCommandLine(const std::string& line)
{
  std::vector<std::string> arguments;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t at = 0;
  // The program's name: no escapes, as the system reads it.
  std::string program;
  if (at < line.size() && line[at] == '"')
  {
    const std::size_t end = line.find('"', at + 1);
    program = line.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    at = end == std::string::npos ? line.size() : end + 1;
  }
  while (at < line.size() && !blank(line[at]))
    program += line[at++];
  arguments.push_back(program);

  while (true)
  {
    while (at < line.size() && blank(line[at]))
      ++at;
    if (at >= line.size())
      break;
    std::string argument;
    bool quoted = false;
    while (at < line.size() && (quoted || !blank(line[at])))
    {
      if (line[at] == '\\')
      {
        std::size_t backslashes = 0;
        while (at < line.size() && line[at] == '\\')
        {
          ++backslashes;
          ++at;
        }
        if (at < line.size() && line[at] == '"')
        {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 0)
            continue;  // the quote is read as one below
          argument += '"';
          ++at;
        }
        else
          argument.append(backslashes, '\\');
      }
      else if (line[at] == '"')
      {
        if (quoted && at + 1 < line.size() && line[at + 1] == '"')
        {
          argument += '"';
          at += 2;
        }
        else
        {
          quoted = !quoted;
          ++at;
        }
      }
      else
        argument += line[at++];
    }
    arguments.push_back(argument);
  }
  return arguments;
}

}  // namespace ThrumwellCli
