#pragma once
// The player's command line:
//
//   thrumwell [--no-window] [--seconds S] [--program N|"NAME"] [--param "NAME=VALUE"]...
//             [--state-in FILE] [--state-out FILE] [--plugin BUNDLE.vst3 [--class NAME|INDEX]]
//             [--api alsa|pulse|jack|wasapi|ds] [--device NAME|NUMBER] [--rate HZ] [--buffer FRAMES]
//             [--midi NAME] [--at "NAME=VALUE@TIME"]... [--ramp "NAME=FROM->TO@START+LENGTH"]...
//             [--session FILE] [--noise white|pink|brown[@DB]]
//             [--input FILE [--input-loop yes|no] [--input-gain DB]] [--list-devices] [--list-programs] [--list-params] [--help] [--version]
//
// The session's times are the time the transport has played.
//
// Names of programs, parameters and devices are checked later, against the
// instrument and the audio system.

#include <string>
#include <vector>

#include "tools/bed/NoiseBed.h"
#include "tools/session/SessionScript.h"

struct PlayerOptions
{
  bool noWindow = false;
  double seconds = -1.0;  // negative: until stopped
  std::string program;
  std::vector<std::string> params;
  std::string stateIn;
  std::string stateOut;
  std::string plugin;
  std::string classChoice;  // audio module class by name or index; empty: the first
  std::string api;     // empty: the saved one, else the platform's first
  std::string device;  // empty: the saved one, else the default output
  int rate = 0;        // 0: the saved one, else the device's preferred rate
  int buffer = 0;      // 0: the saved one, else kDefaultBuffer
  std::string midi;    // empty: every input port
  std::vector<ThrumwellSession::SessionEvent> events;  // from --at and --ramp
  std::string session;                                 // session file
  bool noise = false;                                  // a noise bed into the instrument's input
  NoiseBed::Colour noiseColour = NoiseBed::Colour::kPink;
  double noiseDb = NoiseBed::kDefaultDb;
  std::string input;       // an audio file into the instrument's input
  bool inputLoop = true;   // looped for as long as the player plays
  double inputGain = 0.0;  // dB
  bool listDevices = false;
  bool listPrograms = false;
  bool listParams = false;
};

constexpr int kDefaultBuffer = 256;

// Parses argv. Returns -1 to go on; otherwise the exit status, after printing
// the help or version text (0) or the reason for refusing the line (2).
int ParsePlayerOptions(int argc, char** argv, PlayerOptions& options);
