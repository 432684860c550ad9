#include "tools/snapshot/SnapshotOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

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
};

constexpr PointerOption kPointerOptions[] = {
  {"--hover", SnapshotPointer::kHover},     {"--press", SnapshotPointer::kPress},
  {"--drag", SnapshotPointer::kDrag},       {"--release", SnapshotPointer::kRelease},
  {"--wheel", SnapshotPointer::kWheel},     {"--right", SnapshotPointer::kRight},
};
}  // namespace

bool ParseSnapshotOptions(int argc, char** argv, SnapshotOptions& options, std::string& error)
{
  options = SnapshotOptions();
  for (int i = 1; i < argc; ++i)
  {
    const std::string option = argv[i];
    if (option == "-h" || option == "--help")
    {
      options.help = true;
      continue;
    }
    if (option == "--window")
    {
      options.window = true;
      continue;
    }
    if (i + 1 >= argc)
    {
      error = option.rfind("-", 0) == 0 ? option + " needs a value" : "unexpected argument \"" + option + "\"";
      return false;
    }
    const char* value = argv[++i];
    if (option == "-o")
      options.output = value;
    else if (option == "--program")
    {
      options.program = value;
      if (options.program.empty())
      {
        error = "--program needs a number or a name";
        return false;
      }
    }
    else if (option == "--param")
    {
      const char* equals = std::strchr(value, '=');
      if (!equals || equals == value)
      {
        error = "--param \"" + std::string(value) + "\" is not NAME=VALUE";
        return false;
      }
      options.params.push_back(value);
    }
    else if (option == "--note")
    {
      long note = 0;
      const char* rest = nullptr;
      if (!ParseLong(value, 0, 127, note, &rest) || *rest != '\0')
      {
        error = "--note \"" + std::string(value) + "\" is not a note number 0..127";
        return false;
      }
      options.note = static_cast<int>(note);
    }
    else
    {
      const PointerOption* match = nullptr;
      for (const PointerOption& p : kPointerOptions)
        if (option == p.name)
          match = &p;
      if (!match)
      {
        error = "unknown option \"" + option + "\"";
        return false;
      }
      SnapshotPointer point;
      point.kind = match->kind;
      if (!ParsePoint(value, match->kind == SnapshotPointer::kWheel, point))
      {
        error = option + " \"" + value + "\" is not " + (match->kind == SnapshotPointer::kWheel ? "X,Y,STEPS" : "X,Y");
        return false;
      }
      options.pointer.push_back(point);
    }
  }
  if (!options.help && options.output.empty())
  {
    error = "-o OUT.png is required";
    return false;
  }
  return true;
}

const char* SnapshotUsage()
{
  return "usage: thrumwell-snapshot -o OUT.png [--program N|\"NAME\"] [--param \"NAME=VALUE\"]... [--note NOTE]\n"
         "                          [--hover X,Y] [--press X,Y] [--drag X,Y] [--release X,Y]\n"
         "                          [--wheel X,Y,STEPS] [--right X,Y] [--window]\n"
         "Builds the instrument, applies the program and the parameters as a host does, plays the\n"
         "note, sends the pointer events in order, paints as the editor's timer does and writes the\n"
         "368 x 370 editor to OUT.png. With --window the editor opens through its VST3 view in a\n"
         "real window, gets the events as real input, paints on its own timer, and the window's\n"
         "pixels are written.\n";
}
