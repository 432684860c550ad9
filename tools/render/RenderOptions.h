#pragma once
// The renderer's command line. The options are a contract that scripts and
// later tools rely on:
//
//   thrumwell-render -o OUT.wav [--program N | --program "NAME"] [--param "NAME=VALUE"]...
//                    [--seconds S] [--rate HZ] [--block N] [--position SAMPLES]
//                    [--note NOTE[:VELOCITY]@START[+LENGTH]]... [--list-programs] [--list-params]
//                    [--plugin BUNDLE.vst3] [--sample-size 32|64] [--state-in FILE] [--state-out FILE]
//
// The instrument is loaded from a VST3 bundle (by default the one built beside
// the renderer) and played as a host plays it. --sample-size 64 processes
// 64-bit samples and writes them to the WAV file at that width.

#include <cstdint>
#include <string>
#include <vector>

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
  int rate = 48000;
  int block = 512;
  std::int64_t position = 0;
  std::vector<RenderNote> notes;
  std::string plugin;    // empty: the bundle built beside the renderer
  int sampleBits = 32;   // 32 or 64
  std::string stateIn;   // component state loaded before the program and parameters
  std::string stateOut;  // component state saved after the render
  bool listPrograms = false;
  bool listParams = false;
  bool help = false;
};

// Parses argv into options. On a malformed or out-of-range option, returns
// false with one line of explanation in error. Names of programs and
// parameters are checked later, against the instrument.
bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);

// The usage text printed by --help.
const char* RenderUsage();
