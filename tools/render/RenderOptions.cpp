#include "tools/render/RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Whole text as a finite number.
bool ParseReal(const std::string& text, double& out)
{
  if (text.empty())
    return false;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (*end != '\0' || errno == ERANGE || !std::isfinite(value))
    return false;
  out = value;
  return true;
}

// Whole text as an integer within [low, high].
bool ParseInteger(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& out)
{
  if (text.empty())
    return false;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || value < low || value > high)
    return false;
  out = value;
  return true;
}

// NOTE[:VELOCITY]@START[+LENGTH]
bool ParseNote(const std::string& text, RenderNote& note)
{
  const std::size_t at = text.find('@');
  if (at == std::string::npos)
    return false;
  const std::string key = text.substr(0, at);
  std::string when = text.substr(at + 1);
  const std::size_t colon = key.find(':');
  std::int64_t number = 0;
  if (!ParseInteger(key.substr(0, colon), 0, 127, number))
    return false;
  note.note = static_cast<int>(number);
  if (colon != std::string::npos)
  {
    std::int64_t velocity = 0;
    if (!ParseInteger(key.substr(colon + 1), 1, 127, velocity))
      return false;
    note.velocity = static_cast<int>(velocity);
  }
  // A '+' after the first character separates the length; a leading sign
  // belongs to the start time.
  const std::size_t plus = when.find('+', 1);
  if (plus != std::string::npos)
  {
    if (!ParseReal(when.substr(plus + 1), note.length) || note.length <= 0.0)
      return false;
    when = when.substr(0, plus);
  }
  return ParseReal(when, note.start) && note.start >= 0.0;
}

}  // namespace

const char* RenderUsage()
{
  return "usage: thrumwell-render -o OUT.wav [--program N | --program \"NAME\"] [--param \"NAME=VALUE\"]...\n"
         "                        [--seconds S] [--rate HZ] [--block N] [--position SAMPLES]\n"
         "                        [--note NOTE[:VELOCITY]@START[+LENGTH]]... [--list-programs] [--list-params]\n"
         "                        [--plugin BUNDLE.vst3] [--sample-size 32|64] [--state-in FILE] [--state-out FILE]\n";
}

bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error)
{
  for (int i = 1; i < argc; ++i)
  {
    const std::string option = argv[i];
    if (option == "--list-programs")
    {
      options.listPrograms = true;
      continue;
    }
    if (option == "--list-params")
    {
      options.listParams = true;
      continue;
    }
    if (option == "--help" || option == "-h")
    {
      options.help = true;
      continue;
    }
    const bool takesValue = option == "-o" || option == "--program" || option == "--param" || option == "--seconds"
                            || option == "--rate" || option == "--block" || option == "--position"
                            || option == "--note" || option == "--plugin" || option == "--sample-size"
                            || option == "--state-in" || option == "--state-out";
    if (!takesValue)
    {
      error = "unknown option \"" + option + "\"";
      return false;
    }
    if (i + 1 >= argc)
    {
      error = option + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    std::int64_t integer = 0;
    if (option == "-o")
    {
      if (value.empty())
      {
        error = "-o needs a file name";
        return false;
      }
      options.output = value;
    }
    else if (option == "--plugin" || option == "--state-in" || option == "--state-out")
    {
      if (value.empty())
      {
        error = option + " needs a path";
        return false;
      }
      (option == "--plugin" ? options.plugin : option == "--state-in" ? options.stateIn : options.stateOut) = value;
    }
    else if (option == "--sample-size")
    {
      if (value != "32" && value != "64")
      {
        error = "--sample-size \"" + value + "\" is neither 32 nor 64";
        return false;
      }
      options.sampleBits = value == "64" ? 64 : 32;
    }
    else if (option == "--program")
    {
      options.program = value;
    }
    else if (option == "--param")
    {
      if (value.find('=') == std::string::npos)
      {
        error = "--param \"" + value + "\" is not NAME=VALUE";
        return false;
      }
      options.params.push_back(value);
    }
    else if (option == "--seconds")
    {
      if (!ParseReal(value, options.seconds) || options.seconds < 0.0)
      {
        error = "--seconds \"" + value + "\" is not a duration of 0 seconds or more";
        return false;
      }
    }
    else if (option == "--rate")
    {
      if (!ParseInteger(value, 8000, 384000, integer))
      {
        error = "--rate \"" + value + "\" is not a whole number of hertz from 8000 to 384000";
        return false;
      }
      options.rate = static_cast<int>(integer);
    }
    else if (option == "--block")
    {
      if (!ParseInteger(value, 1, 8192, integer))
      {
        error = "--block \"" + value + "\" is not a block size from 1 to 8192";
        return false;
      }
      options.block = static_cast<int>(integer);
    }
    else if (option == "--position")
    {
      if (!ParseInteger(value, INT64_MIN / 2, INT64_MAX / 2, integer))
      {
        error = "--position \"" + value + "\" is not a whole number of samples";
        return false;
      }
      options.position = integer;
    }
    else
    {
      RenderNote note;
      if (!ParseNote(value, note))
      {
        error = "--note \"" + value + "\" is not NOTE[:VELOCITY]@START[+LENGTH] (note 0..127, velocity 1..127, "
                "start 0 or more seconds, length above 0)";
        return false;
      }
      options.notes.push_back(note);
    }
  }
  if (options.output.empty() && !options.listPrograms && !options.listParams && !options.help)
  {
    error = "no output file: give -o OUT.wav";
    return false;
  }
  return true;
}
