#pragma once
// A session: parameter settings, ramps and program changes placed in time.
// It comes from a session file (one line per event) or from the --at and
// --ramp options; both give the same events, checked the same way.
//
// Session file, one event per line, '#' starts a comment:
//
//   00:00 program "Binaural - 7.83 (Schumann Resonance)"
//   00:00 Binaural=14 Volume=70
//   05:00 -> 30:00 Binaural=4          # ramp from the value in force at 05:00
//   30:00 -> 31:00 Volume=70->0        # ramp with an explicit start value
//   00:00 "Pan Reverse"=Yes            # names and values with spaces are quoted
//   00:00 noise brown@-24              # a noise bed, as --noise names it
//   00:00 input "rain.flac" gain=-12 loop=no   # an audio file, as --input
//
// Times are SS, MM:SS or HH:MM:SS, the seconds with an optional fraction.
// A line's time must not be earlier than the previous line's. Settings after a
// program change at the same time override the program.
//
// The beds (what the host feeds the instrument's input) play for the whole
// session: their lines stand alone, at 00:00, at most one of each kind. An
// input file's relative path is taken from the session file's folder.
//
// Parsing checks the form only; names and values are checked against the
// plug-in when the session is resolved (SessionPlayer). Beds are checked
// whole here, but the input file is opened only by the tool that plays it.

#include <string>
#include <vector>

#include "tools/bed/NoiseBed.h"

namespace ThrumwellSession
{

// Where a piece of text was written, for messages: a file with line and
// column (both from 1), or an option's value (line 0, column within it).
struct SessionSource
{
  std::string file;  // file name, or the option ("--ramp") for option text
  std::string text;  // the option's whole value when line is 0
  int line = 0;
  int column = 0;

  // "FILE:LINE:COLUMN: what", or "--ramp \"TEXT\", column C: what".
  std::string Message(const std::string& what) const;
};

struct SessionEvent
{
  enum Kind
  {
    kSet,
    kRamp,
    kProgram,
  };
  Kind kind = kSet;
  double start = 0.0;  // seconds
  double end = 0.0;    // ramps only: seconds, later than start
  std::string name;    // parameter title; for kProgram the program's name or number
  std::string from;    // ramps: the start value as written; empty: the value in force at start
  std::string to;      // the value set, or the ramp's end value, as written
  SessionSource nameAt;
  SessionSource fromAt;
  SessionSource toAt;
};

// The beds a session file names. A --noise or --input on the command line
// replaces the session's bed of the same kind (TakeSessionBeds).
struct SessionBeds
{
  bool noise = false;
  NoiseBed::Colour noiseColour = NoiseBed::Colour::kPink;
  double noiseDb = NoiseBed::kDefaultDb;
  std::string input;  // empty: none; else the path, relative ones joined to the session file's folder
  bool inputLoop = true;
  double inputGain = 0.0;  // dB
  SessionSource noiseAt;   // where each was written
  SessionSource inputAt;
};

// The gains an input file may be given, in dB (session and command line).
constexpr double kLowestInputGainDb = -120.0;
constexpr double kHighestInputGainDb = 24.0;

// Reads "SS", "MM:SS" or "HH:MM:SS" (seconds may have a fraction; minutes and
// seconds after a larger field are below 60) as seconds. False for anything
// else, including negative or non-finite times.
bool ParseSessionTime(const std::string& text, double& seconds);

// Parses a session file's text into its events and beds. On the first error
// returns false with one line "FILE:LINE:COLUMN: what was expected" in error;
// events and beds are then unspecified.
bool ParseSessionText(const std::string& text, const std::string& fileName, std::vector<SessionEvent>& events,
                      SessionBeds& beds, std::string& error);

// --at "NAME=VALUE@TIME"
bool ParseAtOption(const std::string& text, SessionEvent& event, std::string& error);
// --ramp "NAME=FROM->TO@START+LENGTH"; FROM may be left out ("NAME=->TO@...")
// to start from the value in force.
bool ParseRampOption(const std::string& text, SessionEvent& event, std::string& error);

// The events of the --at and --ramp options, in that order; false with the
// first option's error.
bool ParseSessionOptions(const std::vector<std::string>& ats, const std::vector<std::string>& ramps,
                         std::vector<SessionEvent>& events, std::string& error);

// Orders events by start time, keeping the order of events at the same time
// (stable), and refuses ramps that overlap another ramp of the same
// parameter and settings that fall inside a ramp of theirs.
bool OrderSessionEvents(std::vector<SessionEvent>& events, std::string& error);

// The events of a session file (none for an empty file name) and then the
// extra ones (from --at and --ramp), checked for form and ordered, and the
// file's beds. False with one line in error for a file that cannot be read
// or is malformed.
bool ReadSessionEvents(const std::string& file, const std::vector<SessionEvent>& extra,
                       std::vector<SessionEvent>& events, SessionBeds& beds, std::string& error);

// Gives a tool's options (the renderer's or the player's: noise, noiseColour,
// noiseDb, input, inputLoop, inputGain) the session's beds where the command
// line named none of that kind: the command line wins, kind by kind. True
// when the input file is the session's, so that a message about it names
// the session's line (beds.inputAt).
template <class Options>
bool TakeSessionBeds(const SessionBeds& beds, Options& options)
{
  if (!options.noise && beds.noise)
  {
    options.noise = true;
    options.noiseColour = beds.noiseColour;
    options.noiseDb = beds.noiseDb;
  }
  if (!options.input.empty() || beds.input.empty())
    return false;
  options.input = beds.input;
  options.inputLoop = beds.inputLoop;
  options.inputGain = beds.inputGain;
  return true;
}

}  // namespace ThrumwellSession
