#pragma once
// PlayerMidi: the MIDI inputs through RtMidi. Opens every input port of one
// MIDI system (or the ports whose name contains a given text), each into its
// own queue of the engine; each port's callback, on RtMidi's thread, keeps
// note-ons and note-offs and stamps them with their arrival.
//
// Main thread only, apart from the callbacks.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class PlayerEngine;
class RtMidiIn;

class PlayerMidi
{
public:
  PlayerMidi();
  ~PlayerMidi();
  PlayerMidi(const PlayerMidi&) = delete;
  PlayerMidi& operator=(const PlayerMidi&) = delete;

  // The MIDI system that goes with an audio system: JACK's own MIDI with
  // JACK, else the platform's (the ALSA sequencer, WinMM).
  static std::string SystemFor(const std::string& audioApi);
  static void List(const std::string& audioApi, std::FILE* out);

  // Opens the ports; the names of those opened are in Ports(). A port that
  // cannot be opened is skipped with a line in Warnings(). False only when a
  // name was asked for and no port has it (Error() says which there are).
  bool Open(PlayerEngine& engine, const std::string& audioApi, const std::string& wanted);
  void Close();

  const std::vector<std::string>& Ports() const { return portNames; }
  const std::vector<std::string>& Warnings() const { return warnings; }
  const std::string& Error() const { return error; }

private:
  std::vector<std::unique_ptr<RtMidiIn>> inputs;
  std::vector<std::string> portNames;
  std::vector<std::string> warnings;
  std::string error;
};
