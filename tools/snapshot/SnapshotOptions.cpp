#include "tools/snapshot/SnapshotOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/cli/ToolCommandLine.h"

namespace
{
// Pointer positions are clamped far outside any editor, so the arithmetic
// the dispatch does on them cannot overflow.
constexpr long kCoordinateLimit = 1000000;
constexpr long kWheelLimit = 10000;

bool ParseLong(const char* text, long low, long high, long& out, const char** rest)
{
  errno = 0;
  char* end = nullptr;
  out = std::strtol(text, &end, 10);
  if (end == text || errno == ERANGE || out < low || out > high)
    return false;
  *rest = end;
  return true;
}

// "X,Y" or, with steps, "X,Y,STEPS".
bool ParsePoint(const char* text, bool withSteps, SnapshotPointer& point)
{
  long x = 0, y = 0, steps = 0;
  const char* rest = nullptr;
  if (!ParseLong(text, -kCoordinateLimit, kCoordinateLimit, x, &rest) || *rest != ',')
    return false;
  if (!ParseLong(rest + 1, -kCoordinateLimit, kCoordinateLimit, y, &rest))
    return false;
  if (withSteps && (*rest != ',' || !ParseLong(rest + 1, -kWheelLimit, kWheelLimit, steps, &rest)))
    return false;
  if (*rest != '\0')
    return false;
  point.x = static_cast<int>(x);
  point.y = static_cast<int>(y);
  point.steps = static_cast<int>(steps);
  return true;
}

struct PointerOption
{
  const char* name;
  SnapshotPointer::Kind kind;
  const char* help;
};

constexpr PointerOption kPointerOptions[] = {
  {"--hover", SnapshotPointer::kHover, "Move the pointer over X,Y"},
  {"--press", SnapshotPointer::kPress, "Press the left button at X,Y"},
  {"--drag", SnapshotPointer::kDrag, "Move the pointer to X,Y with the left button held"},
  {"--release", SnapshotPointer::kRelease, "Release the button at X,Y"},
  {"--wheel", SnapshotPointer::kWheel, "Turn the wheel by STEPS at X,Y"},
  {"--right", SnapshotPointer::kRight, "Click the right button at X,Y"},
};

constexpr const char* kTool = "thrumwell-snapshot";
constexpr const char* kDescription =
  "Builds the instrument, applies the program and the parameters as a host does, plays the note, sends the "
  "pointer events in order, paints as the editor's timer does and writes the 368 x 370 editor to OUT.png "
  "(round(368 F) x round(370 F) with --scale F; the pointer's coordinates stay those of the 368 x 370 layout). "
  "With --window the editor opens through its VST3 view in a real window, gets the events as real input, "
  "paints on its own timer, and the window's pixels are written. On Linux --embedder chooses how that window "
  "embeds the editor: maps (it maps the editor's window itself, as the SDK's editor host does; the default), "
  "xembed (strict XEmbed as GTK hosts such as Ardour do it: shown only while the editor flags itself mapped) or "
  "notify (only the embedding notice; the editor must show itself).";

// Every option's raw text; checked after CLI11 has split the command line.
struct RawOptions
{
  std::string output, program, note, scale, embedder;
  std::vector<std::string> params;
  std::vector<std::string> pointer[6];  // by kind, in the order given
  bool window = false;
};

void Declare(CLI::App& app, RawOptions& raw)
{
  ThrumwellCli::Prepare(app);
  app.add_option("-o,--output", raw.output, "PNG file to write")->type_name("OUT.png");
  app.add_option("--program", raw.program, "Program to select, by number or exact name")->type_name("N|NAME");
  app.add_option("--param", raw.params, "Set a parameter by title, to a number in its units or one of its texts")
    ->type_name("NAME=VALUE");
  app.add_option("--note", raw.note, "Play a MIDI note (0-127) after the parameters")->type_name("NOTE");
  for (const PointerOption& p : kPointerOptions)
    app.add_option(p.name, raw.pointer[p.kind], p.help)->type_name(p.kind == SnapshotPointer::kWheel ? "X,Y,STEPS" : "X,Y");
  app.add_option("--scale", raw.scale, "Draw the editor F times as large (1 to 4), as at a host's content scale")
    ->type_name("F");
  app.add_flag("--window", raw.window, "Open the editor in a real window through the host and capture it");
  app.add_option("--embedder", raw.embedder, "How the window embeds the editor on Linux (with --window)")
    ->type_name("maps|xembed|notify");
}

bool Check(const CLI::App& app, const RawOptions& raw, SnapshotOptions& options, std::string& error)
{
  options.output = raw.output;
  options.program = raw.program;
  options.params = raw.params;
  options.window = raw.window;
  if (app.count("--embedder"))
  {
    if (!options.window)
    {
      error = "--embedder needs --window";
      return false;
    }
    if (!ThrumwellHost::HostWindow::EmbedderNamed(raw.embedder, options.embedder))
    {
      error = "--embedder \"" + raw.embedder + "\" is not maps, xembed or notify";
      return false;
    }
  }
  if (app.count("--program") && options.program.empty())
  {
    error = "--program needs a number or a name";
    return false;
  }
  for (const std::string& assignment : raw.params)
  {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
    {
      error = "--param \"" + assignment + "\" is not NAME=VALUE";
      return false;
    }
  }
  if (app.count("--note"))
  {
    long note = 0;
    const char* rest = nullptr;
    if (!ParseLong(raw.note.c_str(), 0, 127, note, &rest) || *rest != '\0')
    {
      error = "--note \"" + raw.note + "\" is not a note number 0..127";
      return false;
    }
    options.note = static_cast<int>(note);
  }
  if (app.count("--scale"))
  {
    char* end = nullptr;
    const double f = std::strtod(raw.scale.c_str(), &end);
    if (raw.scale.empty() || *end != '\0' || !(f >= 1.0 && f <= 4.0))
    {
      error = "--scale \"" + raw.scale + "\" is not a factor from 1 to 4";
      return false;
    }
    options.scale = static_cast<float>(f);
  }
  // The pointer events in the order given on the command line.
  std::size_t used[6] = {};
  for (const CLI::Option* option : app.parse_order())
    for (const PointerOption& p : kPointerOptions)
    {
      if (option->get_name() != p.name)
        continue;
      const std::string& value = raw.pointer[p.kind][used[p.kind]++];
      SnapshotPointer point;
      point.kind = p.kind;
      if (!ParsePoint(value.c_str(), p.kind == SnapshotPointer::kWheel, point))
      {
        error = std::string(p.name) + " \"" + value + "\" is not " + (p.kind == SnapshotPointer::kWheel ? "X,Y,STEPS" : "X,Y");
        return false;
      }
      options.pointer.push_back(point);
    }
  if (options.output.empty())
  {
    error = "-o OUT.png is required";
    return false;
  }
  return true;
}
}  // namespace

bool ParseSnapshotOptions(int argc, char** argv, SnapshotOptions& options, std::string& error)
{
  return ThrumwellCli::ParseTool<RawOptions>(kTool, kDescription, argc, argv, options, error, Declare, Check);
}

std::string SnapshotUsage()
{
  return ThrumwellCli::ToolHelp<RawOptions>(kTool, kDescription, Declare);
}
