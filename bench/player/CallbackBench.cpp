// Cost of the player's audio callback (PlayerEngine::Render: the notes taken
// from the MIDI queues and placed in the block, the transport, the process
// call into the device's buffers and the check of every output sample)
// against the plug-in's process call alone for the same block, the same
// notes, the same session points and the same transport. vs_process is the
// ratio of the two per-block
// times, both measured alternately in this run in this thread's processor
// time; allocs counts heap allocations per callback (it must stay 0).
//
//   build/<preset>/bench/player/player_callback_bench

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/AgainstMemcpy.h"
#include "bench/ThreadSeconds.h"
#include "host/HostEventList.h"
#include "host/HostParameterChanges.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"
#include "host/HostTransport.h"
#include "synth/CLS_THRUMWELL.h"
#include "tools/player/PlayerEngine.h"
#include "tools/player/SessionQueue.h"

namespace
{
using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

constexpr double kRate = 48000.0;
// What each block carries besides the tone.
enum class Load { kNothing, kNotes, kRamp };
// The parameter a session ramps: "Binaural", its first and last point in
// each block.
constexpr ParamID kRampedParam = 1;

// The instrument made in this process, driven through our host as the
// player drives it: Generator mode, transport playing.
struct Session
{
  explicit Session(int n, Load what) : frames(n), load(what)
  {
    const bool notes = what == Load::kNotes;
    plugin.Adopt(static_cast<IComponent*>(new CLS_THRUMWELL));
    HostParameterList params(plugin.Controller(), plugin.Units());
    HostParameterChanges changes;
    std::string error;
    params.AddUserChoices("", {notes ? "Mode=Synthesizer" : "Mode=Generator", "Attack=0"}, changes, error);
    plugin.ActivateDefaultBuses();
    plugin.SetupProcessing(kRate, n);
    plugin.SetActive(true);
    plugin.SetProcessing(true);
    ProcessContext context = HostTransport(kRate, 0, true);
    plugin.Process(0, &changes, nullptr, &context);
    engine.Prepare(kRate, n);
    queue = engine.AddMidiSource();
    if (load == Load::kRamp)
      engine.SetSession(sessionQueue.get());
    engine.SetPlaying(true);
    left.assign(static_cast<std::size_t>(n), 0.0f);
    right.assign(static_cast<std::size_t>(n), 0.0f);
  }
  ~Session() { plugin.Destroy(); }

  // The ramp's points of the block that starts at frame.
  double RampAt(std::int64_t frame) const { return 0.01 + 1e-9 * static_cast<double>(frame % 1000000000); }

  // One device callback; with notes, a note-on and a note-off arrive in it;
  // with a ramp, the main thread's chunk for it waits in the queue.
  void Callback()
  {
    now += static_cast<std::int64_t>(frames / kRate * 1e9);
    if (load == Load::kRamp)
      if (SessionChunk* chunk = sessionQueue->Back())
      {
        chunk->start = static_cast<std::uint64_t>(fed);
        chunk->length = frames;
        chunk->program = false;
        chunk->count = 2;
        chunk->points[0] = {kRampedParam, 0, RampAt(fed)};
        chunk->points[1] = {kRampedParam, frames - 1, RampAt(fed + frames - 1)};
        sessionQueue->Push();
        fed += frames;
      }
    if (load == Load::kNotes)
    {
      MidiNote on;
      on.timeNs = now - 1000000;
      on.on = true;
      on.pitch = 69;
      on.velocity = 100;
      MidiNote off = on;
      off.timeNs = now - 500000;
      off.on = false;
      queue->Push(on);
      queue->Push(off);
    }
    engine.Render(left.data(), right.data(), frames, now, false);
    benchmark::DoNotOptimize(left.data());
  }

  // The same block through the bare process call.
  void Process()
  {
    events.Clear();
    changes.Clear();
    if (load == Load::kRamp)
    {
      changes.Add(kRampedParam, 0, RampAt(position));
      changes.Add(kRampedParam, frames - 1, RampAt(position + frames - 1));
    }
    if (load == Load::kNotes)
    {
      events.NoteOn(frames / 3, 69, HostEventList::VelocityFromMidi(100));
      events.NoteOff(frames * 2 / 3, 69);
    }
    context = HostTransport(kRate, position, true);
    position += frames;
    ProcessData& data = plugin.PrepareData(frames, load == Load::kRamp ? &changes : nullptr, &events, &context);
    float* channels[2] = {left.data(), right.data()};
    data.outputs[0].channelBuffers32 = channels;
    plugin.Processor()->process(data);
    benchmark::DoNotOptimize(left.data());
  }

  int frames;
  Load load;
  HostPlugin plugin;
  PlayerEngine engine{plugin};
  MidiNoteQueue* queue = nullptr;
  HostEventList events;
  HostParameterChanges changes;
  std::unique_ptr<SessionQueue> sessionQueue = std::make_unique<SessionQueue>();
  std::int64_t fed = 0;
  ProcessContext context{};
  std::int64_t position = 0;
  std::int64_t now = 1000000000000;
  std::vector<float> left, right;
};

// Each iteration times kChunk callbacks and then kChunk process calls, so
// both see the same machine load; the ratio is of the sums.
void CallbackAgainstProcess(benchmark::State& state, Load load)
{
  constexpr int kChunk = 64;
  Session session(static_cast<int>(state.range(0)), load);
  long allocations = 0;
  TimeAlternately(
      state, kChunk,
      [&](int n) {
        benchalloc::allocations = 0;
        benchalloc::counting = true;
        for (int i = 0; i < n; ++i)
          session.Callback();
        benchalloc::counting = false;
        allocations += benchalloc::allocations.load();
      },
      [&](int n) {
        for (int i = 0; i < n; ++i)
          session.Process();
      },
      "callback", "process", "vs_process");
  state.counters["allocs"] = static_cast<double>(allocations) / (static_cast<double>(state.iterations()) * kChunk);
}

void Callback(benchmark::State& state) { CallbackAgainstProcess(state, Load::kNothing); }
void CallbackWithNotes(benchmark::State& state) { CallbackAgainstProcess(state, Load::kNotes); }
void CallbackWithRamp(benchmark::State& state) { CallbackAgainstProcess(state, Load::kRamp); }

}  // namespace

BENCHMARK(Callback)->Arg(128)->Arg(256)->Arg(1024);
BENCHMARK(CallbackWithNotes)->Arg(128)->Arg(256);
BENCHMARK(CallbackWithRamp)->Arg(128)->Arg(256);
