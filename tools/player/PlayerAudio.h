#pragma once
// PlayerAudio: the sound card through RtAudio. Chooses an audio system and an
// output device as the user names them, checks that the device plays stereo
// at the rate asked for, opens a stream of 32-bit float channels whose
// callback is PlayerEngine::Render, and watches it for failures.
//
// Every refusal comes back as one line of text naming what was asked for and
// what there is instead, with the exit status the player ends with: 2 for a
// choice that cannot be met (an unknown system, device or rate), 1 for a
// device that fails.
//
// Main thread only, except the stream's callback and error callback.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class PlayerEngine;
class RtAudio;

struct AudioChoice
{
  std::string api;     // "alsa", "pulse", "jack", "wasapi", "ds"; empty: the first that has devices
  std::string device;  // a name or a number; empty: the default output
  int rate = 0;        // 0: the device's preferred rate
  int buffer = 0;      // frames
};

class PlayerAudio
{
public:
  static constexpr int kBadChoice = 2;
  static constexpr int kDeviceFailure = 1;

  PlayerAudio();
  ~PlayerAudio();
  PlayerAudio(const PlayerAudio&) = delete;
  PlayerAudio& operator=(const PlayerAudio&) = delete;

  // The audio systems this build plays through, by their short names.
  static std::vector<std::string> Apis();
  // Lists the output devices of one system (or of all, for an empty name).
  static void List(const std::string& api, std::FILE* out);

  // Resolves the choice to one device and rate; 0, or an exit status with
  // Error() set.
  int Choose(const AudioChoice& choice);
  // Opens the chosen device for the engine; 0 or an exit status. Afterwards
  // Rate() and Buffer() tell what the device granted.
  int Open(PlayerEngine& engine);
  int Start();
  // Plays out what is queued, then closes; nothing when nothing is open.
  void Close();
  // Closes at once, for a device that failed. Closing a stream whose audio
  // system has gone away can block for good (a JACK client's calls to a
  // server that is shutting down), so it is given up after a few seconds:
  // Abandoned() then says so, and the stream, its callback and this object
  // are left to the end of the process, which must not destroy them.
  void Abort();
  bool Abandoned() const { return abandoned; }

  // Whether the device has failed since Start: an error from the audio
  // system, or a stream that stopped by itself.
  bool Failed() const;
  // What the audio system said about the failure, once, and the output
  // devices there are now.
  static std::string FailureText();

  const std::string& Error() const { return error; }
  const std::string& ApiName() const { return apiName; }
  const std::string& DeviceName() const { return deviceName; }
  int Rate() const { return rate; }
  int Buffer() const { return buffer; }

private:
  void End(bool playOut);

  std::unique_ptr<RtAudio> audio;
  unsigned int deviceId = 0;
  std::string apiName;
  std::string deviceName;
  int rate = 0;
  int buffer = 0;
  bool open = false;
  bool started = false;
  bool abandoned = false;
  std::string error;
};
