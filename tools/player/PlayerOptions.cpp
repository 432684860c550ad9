#include "tools/player/PlayerOptions.h"

#include <cstdio>

#include <CLI/CLI.hpp>

#include "tools/cli/ToolCommandLine.h"

namespace {

#define THRUMWELL_STRINGIFY2(x) #x
#define THRUMWELL_STRINGIFY(x) THRUMWELL_STRINGIFY2(x)

const char* Version()
{
#ifdef THRUMWELL_VERSION
  return "thrumwell " THRUMWELL_STRINGIFY(THRUMWELL_VERSION);
#else
  return "thrumwell";
#endif
}

}  // namespace

int ParsePlayerOptions(int argc, char** argv, PlayerOptions& options)
{
  CLI::App app("Plays the Thrumwell instrument to the sound card, with MIDI input.", "thrumwell");
  app.set_version_flag("--version", Version());
  app.add_flag("--no-window", options.noWindow, "Play from the terminal, without a window");
  app.add_option("--seconds", options.seconds, "Stop after this many seconds of playing")
    ->check(CLI::Range(0.0, 1e9));
  app.add_option("--program", options.program, "Program to start with, by number or name (see --list-programs)");
  app.add_option("--param", options.params, "Set a parameter: \"NAME=VALUE\", VALUE a number or one of its texts")
    ->expected(1)
    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--state-in", options.stateIn, "Load the component state from FILE")
    ->check(ThrumwellCli::ExistingFile());
  app.add_option("--state-out", options.stateOut, "Save the component state to FILE on exit");
  app.add_option("--plugin", options.plugin, "The VST3 bundle to play (default: the one beside the player)");
  app.add_option("--class", options.classChoice,
                 "Audio module class of the bundle to play, by name or factory index (default: the first)")
    ->type_name("NAME|INDEX");
  app.add_option("--api", options.api, "Audio system")
    ->check(CLI::IsMember({"alsa", "pulse", "jack", "wasapi", "ds"}));
  app.add_option("--device", options.device, "Output device, by name or number (see --list-devices)");
  app.add_option("--rate", options.rate, "Sample rate in Hz")->check(CLI::Range(8000, 384000));
  app.add_option("--buffer", options.buffer, "Frames per audio buffer")->check(CLI::Range(16, 8192));
  app.add_option("--midi", options.midi, "Open only the MIDI input whose name contains NAME");
  std::vector<std::string> ats, ramps;
  app.add_option("--at", ats, "Set a parameter at a time played (SS, MM:SS or HH:MM:SS)")
    ->type_name("NAME=VALUE@TIME");
  app.add_option("--ramp", ramps,
                 "Move a parameter linearly in its units over LENGTH from START; without FROM, from the value in force")
    ->type_name("NAME=FROM->TO@START+LENGTH");
  app.add_option("--session", options.session,
                 "Play a session file of settings, ramps and program changes in time, and its noise or input bed")
    ->check(ThrumwellCli::ExistingFile());
  std::string noise;
  app.add_option("--noise", noise,
                 "Feed a noise bed into the instrument's input: white, pink or brown, at an RMS level in dB "
                 "(default -20)")
    ->type_name("white|pink|brown[@DB]");
  std::string inputLoop;
  app.add_option("--input", options.input,
                 "Feed an audio file (WAV, FLAC, Ogg, Opus, MP3 ...) into the instrument's input, looped")
    ->type_name("FILE");
  app.add_option("--input-loop", inputLoop, "Loop the input (default yes)")->check(CLI::IsMember({"yes", "no"}));
  app.add_option("--input-gain", options.inputGain, "Gain of the input in dB (default 0)")
    ->check(CLI::Range(ThrumwellSession::kLowestInputGainDb, ThrumwellSession::kHighestInputGainDb));
  app.add_flag("--list-devices", options.listDevices, "List the output devices and MIDI inputs, then exit");
  app.add_flag("--list-programs", options.listPrograms, "List the instrument's programs, then exit");
  app.add_flag("--list-params", options.listParams, "List the instrument's parameters, then exit");
  try
  {
    app.parse(argc, argv);
  }
  catch (const CLI::ParseError& e)
  {
    const int status = app.exit(e);
    return status == 0 ? 0 : 2;
  }
  std::string error;
  if (!ThrumwellSession::ParseSessionOptions(ats, ramps, options.events, error))
  {
    std::fprintf(stderr, "thrumwell: %s\n", error.c_str());
    return 2;
  }
  if (!noise.empty() || app.count("--noise"))
  {
    if (!NoiseBed::Parse(noise, options.noiseColour, options.noiseDb, error))
    {
      std::fprintf(stderr, "thrumwell: %s\n", error.c_str());
      return 2;
    }
    options.noise = true;
  }
  options.inputLoop = inputLoop != "no";
  if ((app.count("--input-loop") || app.count("--input-gain")) && options.input.empty())
  {
    std::fprintf(stderr, "thrumwell: --input-loop and --input-gain go with --input\n");
    return 2;
  }
  for (const std::string& assignment : options.params)
    if (assignment.find('=') == std::string::npos)
    {
      std::fprintf(stderr, "thrumwell: --param \"%s\" is not NAME=VALUE\n", assignment.c_str());
      return 2;
    }
  return -1;
}
