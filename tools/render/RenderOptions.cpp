#include "tools/render/RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tools/cli/ToolCommandLine.h"

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

constexpr const char* kTool = "thrumwell-render";
constexpr const char* kDescription =
  "Plays the Thrumwell instrument through a VST3 host and writes what it plays to an audio file.";

// Every option's raw text; checked after CLI11 has split the command line, so
// each refusal can say exactly what is wrong.
struct RawOptions
{
  std::string output, program, seconds, rate, block, position, plugin, classChoice, sampleSize, format, quality, noise, input,
    inputLoop, inputGain, stateIn,
    stateOut, session, exportPresets;
  std::vector<std::string> params, notes, ats, ramps;
  bool listPrograms = false, listAll = false, listParams = false, noTail = false;
};

void Declare(CLI::App& app, RawOptions& raw)
{
  ThrumwellCli::Prepare(app);
  app.add_option("-o,--output", raw.output, "File to write; .flac, .ogg, .opus or .mp3 choose the format, others WAV")
    ->type_name("OUT.wav");
  app.add_option("--program", raw.program, "Program to start from, by number (0-129) or exact name")
    ->type_name("N|NAME");
  app.add_option("--param", raw.params, "Set a parameter by title, to a number in its units or one of its texts")
    ->type_name("NAME=VALUE");
  app.add_option("--seconds", raw.seconds, "Length of the render (default 10, or to a session's last event)")
    ->type_name("S");
  app.add_option("--rate", raw.rate, "Sample rate, 8000 to 384000 (default 48000)")->type_name("HZ");
  app.add_option("--block", raw.block, "Block size, 1 to 8192 (default 512)")->type_name("N");
  app.add_option("--position", raw.position, "Song position where the transport starts (default 0)")
    ->type_name("SAMPLES");
  app.add_option("--note", raw.notes, "Play a MIDI note: velocity 1-127 (default 100), start and length in seconds")
    ->type_name("NOTE[:VELOCITY]@START[+LENGTH]");
  app.add_option("--at", raw.ats, "Set a parameter at a time (SS, MM:SS or HH:MM:SS)")->type_name("NAME=VALUE@TIME");
  app.add_option("--ramp", raw.ramps,
                 "Move a parameter linearly in its units over LENGTH from START; without FROM, from the value in force")
    ->type_name("NAME=FROM->TO@START+LENGTH");
  app.add_option("--session", raw.session,
                 "Play a session file of settings, ramps and program changes in time, and its noise or input bed")
    ->type_name("FILE");
  app.add_option("--format", raw.format,
                 "WAV of f32, f64, s24 or s16 (PCM; s16 dithered), or flac (24-bit), ogg (Vorbis), opus or mp3")
    ->type_name("f32|f64|s24|s16|flac|ogg|opus|mp3");
  app.add_option("--quality", raw.quality, "ogg, opus, mp3: 0 (smallest) to 10 (best); default: the codec's own")
    ->type_name("0-10");
  app.add_flag("--no-tail", raw.noTail, "End the file at --seconds, without the instrument's fade after it");
  app.add_option("--noise", raw.noise,
                 "Feed a noise bed into the instrument's input: white, pink or brown, at an RMS level in dB "
                 "(default -20)")
    ->type_name("white|pink|brown[@DB]");
  app.add_option("--input", raw.input,
                 "Feed an audio file (WAV, FLAC, Ogg, Opus, MP3 ...) into the instrument's input, resampled to --rate")
    ->type_name("FILE");
  app.add_option("--input-loop", raw.inputLoop, "Loop the input to the end of the render (default yes)")
    ->type_name("yes|no");
  app.add_option("--input-gain", raw.inputGain, "Gain of the input in dB, -120 to 24 (default 0)")->type_name("DB");
  app.add_option("--sample-size", raw.sampleSize, "Process 32-bit or 64-bit samples (default 32)")
    ->type_name("32|64");
  app.add_option("--plugin", raw.plugin, "VST3 bundle to play (default: the one built beside the renderer)")
    ->type_name("BUNDLE.vst3");
  app.add_option("--class", raw.classChoice,
                 "Audio module class of the bundle to play, by name or factory index (default: the first)")
    ->type_name("NAME|INDEX");
  app.add_option("--state-in", raw.stateIn, "Load a component state (raw, or a .vstpreset file) first")
    ->type_name("FILE");
  app.add_option("--state-out", raw.stateOut, "Save the component state after the render")->type_name("FILE");
  app.add_flag("--list-programs", raw.listPrograms, "List the programs in use and exit");
  app.add_flag("--all", raw.listAll, "With --list-programs: list the empty slots too");
  app.add_flag("--list-params", raw.listParams, "List the parameters and exit");
  app.add_option("--export-presets", raw.exportPresets,
                 "Write the factory programs as .vstpreset files into DIR, in folders by family, and exit")
    ->type_name("DIR");
}

bool Check(const CLI::App& app, const RawOptions& raw, RenderOptions& options, std::string& error)
{
  options.output = raw.output;
  options.program = raw.program;
  options.params = raw.params;
  options.listPrograms = raw.listPrograms;
  options.listAll = raw.listAll;
  options.listParams = raw.listParams;
  options.session = raw.session;
  std::int64_t integer = 0;

  if (app.count("--output") && raw.output.empty())
  {
    error = "-o needs a file name";
    return false;
  }
  if (app.count("--class") && raw.classChoice.empty())
  {
    error = "--class needs a name or an index";
    return false;
  }
  options.classChoice = raw.classChoice;
  for (const char* name : {"--plugin", "--state-in", "--state-out", "--session", "--export-presets"})
    if (app.count(name) && app.get_option(name)->as<std::string>().empty())
    {
      error = std::string(name) + " needs a path";
      return false;
    }
  options.plugin = raw.plugin;
  options.stateIn = raw.stateIn;
  options.stateOut = raw.stateOut;
  options.exportPresets = raw.exportPresets;

  if (app.count("--program") && raw.program.empty())
  {
    error = "--program needs a number or a name";
    return false;
  }
  for (const std::string& assignment : raw.params)
    if (assignment.find('=') == std::string::npos)
    {
      error = "--param \"" + assignment + "\" is not NAME=VALUE";
      return false;
    }
  if (app.count("--sample-size"))
  {
    if (raw.sampleSize != "32" && raw.sampleSize != "64")
    {
      error = "--sample-size \"" + raw.sampleSize + "\" is neither 32 nor 64";
      return false;
    }
    options.sampleBits = raw.sampleSize == "64" ? 64 : 32;
  }
  // Without --format the extension chooses, and a WAV file keeps the
  // processing width, as before.
  if (!OutputFormatFromExtension(raw.output, options.format))
    options.format = options.sampleBits == 64 ? OutputFormat::kFloat64 : OutputFormat::kFloat32;
  if (app.count("--format") && !OutputFormatFromName(raw.format, options.format))
  {
    error = "--format \"" + raw.format + "\" is none of f32, f64, s24, s16, flac, ogg, opus, mp3";
    return false;
  }
  if (app.count("--quality"))
  {
    if (!ParseReal(raw.quality, options.quality) || options.quality < 0.0 || options.quality > 10.0)
    {
      error = "--quality \"" + raw.quality + "\" is not a number from 0 to 10";
      return false;
    }
    if (!IsLossyFormat(options.format))
    {
      error = std::string("--quality applies to ogg, opus and mp3, not to ") + OutputFormatName(options.format);
      return false;
    }
  }
  options.tail = !raw.noTail;
  if (app.count("--noise"))
  {
    if (!NoiseBed::Parse(raw.noise, options.noiseColour, options.noiseDb, error))
      return false;
    options.noise = true;
  }
  if (app.count("--input") && raw.input.empty())
  {
    error = "--input needs a path";
    return false;
  }
  options.input = raw.input;
  if ((app.count("--input-loop") || app.count("--input-gain")) && raw.input.empty())
  {
    error = "--input-loop and --input-gain go with --input";
    return false;
  }
  if (app.count("--input-loop"))
  {
    if (raw.inputLoop != "yes" && raw.inputLoop != "no")
    {
      error = "--input-loop \"" + raw.inputLoop + "\" is neither yes nor no";
      return false;
    }
    options.inputLoop = raw.inputLoop == "yes";
  }
  if (app.count("--input-gain")
      && (!ParseReal(raw.inputGain, options.inputGain) || options.inputGain < ThrumwellSession::kLowestInputGainDb
          || options.inputGain > ThrumwellSession::kHighestInputGainDb))
  {
    error = "--input-gain \"" + raw.inputGain + "\" is not a gain from -120 to 24 dB";
    return false;
  }
  if (app.count("--seconds"))
  {
    if (!ParseReal(raw.seconds, options.seconds) || options.seconds < 0.0)
    {
      error = "--seconds \"" + raw.seconds + "\" is not a duration of 0 seconds or more";
      return false;
    }
    options.secondsGiven = true;
  }
  if (app.count("--rate"))
  {
    if (!ParseInteger(raw.rate, 8000, 384000, integer))
    {
      error = "--rate \"" + raw.rate + "\" is not a whole number of hertz from 8000 to 384000";
      return false;
    }
    options.rate = static_cast<int>(integer);
  }
  if (app.count("--block"))
  {
    if (!ParseInteger(raw.block, 1, 8192, integer))
    {
      error = "--block \"" + raw.block + "\" is not a block size from 1 to 8192";
      return false;
    }
    options.block = static_cast<int>(integer);
  }
  if (app.count("--position"))
  {
    if (!ParseInteger(raw.position, INT64_MIN / 2, INT64_MAX / 2, integer))
    {
      error = "--position \"" + raw.position + "\" is not a whole number of samples";
      return false;
    }
    options.position = integer;
  }
  for (const std::string& text : raw.notes)
  {
    RenderNote note;
    if (!ParseNote(text, note))
    {
      error = "--note \"" + text + "\" is not NOTE[:VELOCITY]@START[+LENGTH] (note 0..127, velocity 1..127, "
              "start 0 or more seconds, length above 0)";
      return false;
    }
    options.notes.push_back(note);
  }
  if (!ThrumwellSession::ParseSessionOptions(raw.ats, raw.ramps, options.events, error))
    return false;
  if (options.listAll && !options.listPrograms)
  {
    error = "--all goes with --list-programs";
    return false;
  }
  if (options.output.empty() && !options.listPrograms && !options.listParams && options.exportPresets.empty())
  {
    error = "no output file: give -o OUT.wav";
    return false;
  }
  std::string why;
  if (!options.output.empty() && !OutputFormatTakesRate(options.format, options.rate, why))
  {
    error = why;
    return false;
  }
  return true;
}

}  // namespace

bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error)
{
  return ThrumwellCli::ParseTool<RawOptions>(kTool, kDescription, argc, argv, options, error, Declare, Check);
}

std::string RenderUsage()
{
  return ThrumwellCli::ToolHelp<RawOptions>(kTool, kDescription, Declare);
}
