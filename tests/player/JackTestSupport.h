#pragma once
// A sound card for the player's tests, all in user space: a JACK server on
// its dummy driver under a name of its own, a client of ours that records two
// audio inputs and sends MIDI notes from one output, and a child process
// whose signals, exit and error output a test can watch.

#include <jack/jack.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace PlayerTest
{

// Whether jackd is installed; tests skip without it.
bool HaveJackd();

// jackd -d dummy at 48 kHz with 128-frame periods, under a name of its own,
// for the life of the object. Synchronous by default: a client that is late
// delays the cycle instead of leaving a gap in what the others hear, so the
// recordings stay whole on a busy machine; asynchronous, a late client makes
// a drop-out as a sound card would.
class JackServer
{
public:
  // log: a file for the server's own output (its xrun lines among them).
  // realtime: the server and its clients' process threads get real-time
  // priority, as on a studio machine (where the system allows it); tests run
  // without, so they need no privileges.
  explicit JackServer(bool synchronous = true, const std::string& log = "", bool realtime = false);
  ~JackServer();
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;

  bool Running() const { return pid > 0; }
  const std::string& Name() const { return name; }
  // Stops the server now, as a device vanishing would.
  void Kill();

private:
  std::string name;
  int pid = -1;
};

// A JACK client "recorder" with inputs in_1 and in_2 (what the player plays
// into when its device is "recorder") and a MIDI output midi_out.
class JackRecorder
{
public:
  static constexpr int kRate = 48000;
  static constexpr std::size_t kMaxFrames = 48000 * 40;

  explicit JackRecorder(const std::string& server);
  ~JackRecorder();
  JackRecorder(const JackRecorder&) = delete;
  JackRecorder& operator=(const JackRecorder&) = delete;

  bool Ready() const { return client != nullptr; }
  // Frames recorded so far, from the client's start.
  std::size_t Frames() const { return frames.load(std::memory_order_acquire); }
  // The recorded channel up to Frames(); the earlier frames stay as they were.
  const std::vector<float>& Channel(int c) const { return recorded[c]; }
  // Whether something is connected to the MIDI output (the player's input).
  bool MidiConnected() const;
  // Sends a three-byte MIDI message in the next period.
  void Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  // Peak of both channels over the last `span` frames recorded.
  float RecentPeak(std::size_t span) const;

private:
  static int OnProcess(jack_nframes_t n, void* self);

  jack_client_t* client = nullptr;
  jack_port_t* inputs[2] = {nullptr, nullptr};
  jack_port_t* midiOut = nullptr;
  std::vector<float> recorded[2];
  std::atomic<std::size_t> frames{0};
  // One message waits at a time: the test thread writes it and raises the
  // flag, the process thread sends it and lowers the flag.
  std::uint8_t message[3] = {0, 0, 0};
  std::atomic<bool> messageWaiting{false};
};

// A program started with extra environment, its output in a file, its input
// from a pipe the test writes into (else from /dev/null).
class ChildProcess
{
public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment, const std::string& errorFile, bool withInput = false);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid > 0; }
  void Signal(int signal);
  // Writes into the child's input (with withInput).
  void Type(const std::string& text);
  // The exit status, or -1 when it has not ended within the time (it is
  // then killed) or ended by a signal.
  int Wait(double seconds);
  bool Exited();

private:
  int input = -1;  // the writing end of the child's input; made with the child, so declared first
  int pid = -1;
  int status = -1;
};

void SleepMs(int milliseconds);

// ---- What the recordings are measured with ----------------------------------------

// Frequency from the upward zero crossings of a span, interpolated between
// samples, at the recorder's rate.
double Frequency(const std::vector<float>& samples, std::size_t begin, std::size_t end);
float Peak(const std::vector<float>& samples, std::size_t begin, std::size_t end);
// The largest step between neighbouring samples of a span.
float LargestStep(const std::vector<float>& samples, std::size_t begin, std::size_t end);
// The first and one past the last frame that sound in either channel.
std::pair<std::size_t, std::size_t> Sounding(const JackRecorder& recorder);
// The spans from `from` on that sound in either channel, [first, one past
// the last), split where at least `gap` frames are silent.
std::vector<std::pair<std::size_t, std::size_t>> SoundingSpans(const JackRecorder& recorder, std::size_t from,
                                                               std::size_t gap);
std::string ReadText(const std::string& path);
// The drop-outs the player counted, from the summary it ends with
// ("drop-outs: N"); -1 when there is none.
int ReportedDropOuts(const std::string& errors);
// The clicks in frames [from, to) of both channels: steps between neighbouring
// samples larger than `allowed`, described one per line ("" when there is
// none). Within 2048 frames of every start and end of sound they are always
// looked for; elsewhere only when the player counted no drop-out, since a
// drop-out is a gap the server leaves when a busy machine feeds it late, not
// a step the player makes.
std::string Clicks(const JackRecorder& recorder, std::size_t from, std::size_t to, float allowed, int dropOuts);

// Waits up to `seconds` for the condition, checking every 10 ms.
template <class Condition>
bool WaitFor(double seconds, Condition condition)
{
  for (int i = 0; i < static_cast<int>(seconds * 100); ++i)
  {
    if (condition())
      return true;
    SleepMs(10);
  }
  return condition();
}

}  // namespace PlayerTest
