#pragma once
// The renderer's command line. The options are a contract that scripts and
// later tools rely on:
//
//   thrumwell-render -o OUT.wav|.flac|.ogg|.opus|.mp3 [--program N | --program "NAME"] [--param "NAME=VALUE"]...
//                    [--seconds S] [--rate HZ] [--block N] [--position SAMPLES]
//                    [--note NOTE[:VELOCITY]@START[+LENGTH]]...
//                    [--at "NAME=VALUE@TIME"]... [--ramp "NAME=FROM->TO@START+LENGTH"]... [--session FILE]
//                    [--format f32|f64|s24|s16|flac|ogg|opus|mp3] [--quality 0-10] [--sample-size 32|64]
//                    [--no-tail] [--noise white|pink|brown[@DB]]
//                    [--input FILE [--input-loop yes|no] [--input-gain DB]]
//                    [--plugin BUNDLE.vst3 [--class NAME|INDEX]] [--state-in FILE] [--state-out FILE]
//   thrumwell-render --list-programs [--all] | --list-params | --export-presets DIR | --help | --version
//
// The instrument is loaded from a VST3 bundle (by default the one built beside
// the renderer) and played as a host plays it. Another plug-in plays the
// same way: an effect gets silence at its input unless --noise or --input
// feed it, notes go to whatever event input it has, and a mono output is
// written to both channels of the file. --sample-size 64 processes
// 64-bit samples; a WAV file holds them at that width unless --format says
// otherwise. Without --format the output's extension chooses the format
// (WAV for any other). After --seconds the transport stops and the
// instrument's own fade plays out (--no-tail: the file ends there).

#include <cstdint>
#include <string>
#include <vector>

#include "tools/session/SessionScript.h"
#include "tools/bed/NoiseBed.h"
#include "tools/render/OutputFormat.h"

struct RenderNote
{
  int note = 0;
  int velocity = 100;
  double start = 0.0;    // seconds
  double length = -1.0;  // seconds; negative: to the end of the render
};

struct RenderOptions
{
  std::string output;
  std::string program;              // empty: the default program stays selected
  std::vector<std::string> params;  // "NAME=VALUE", applied in order
  double seconds = 10.0;
  bool secondsGiven = false;        // without --seconds a session plays to its last event
  int rate = 48000;
  int block = 512;
  std::int64_t position = 0;
  std::vector<RenderNote> notes;
  std::vector<ThrumwellSession::SessionEvent> events;  // from --at and --ramp
  std::string session;   // session file
  std::string plugin;    // empty: the bundle built beside the renderer
  std::string classChoice;  // audio module class by name or index; empty: the first
  int sampleBits = 32;   // processing precision, 32 or 64
  OutputFormat format = OutputFormat::kFloat32;
  double quality = -1.0;  // 0..10 for the lossy formats; negative: the codec's default
  bool tail = true;       // play the instrument's fade after the end
  bool noise = false;     // a noise bed into the instrument's input
  NoiseBed::Colour noiseColour = NoiseBed::Colour::kPink;
  double noiseDb = NoiseBed::kDefaultDb;
  std::string input;        // an audio file into the instrument's input
  bool inputLoop = true;    // looped to the end of the render
  double inputGain = 0.0;   // dB
  std::string stateIn;   // component state (raw or .vstpreset) loaded before the program and parameters
  std::string stateOut;  // component state saved after the render
  std::string exportPresets;  // folder for the factory programs as .vstpreset files
  bool listPrograms = false;
  bool listAll = false;  // --list-programs with the empty slots
  bool listParams = false;
  bool help = false;
  bool version = false;
};

// Parses argv into options. On a malformed or out-of-range option, returns
// false with one line of explanation in error. Names of programs and
// parameters are checked later, against the instrument.
bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);

// The help text printed by --help.
std::string RenderUsage();
