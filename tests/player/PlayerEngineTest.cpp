// The player's audio callback driven directly with the built instrument:
// where notes land in a block by their arrival time, the transport it
// reports, the notes it ends on stop, and the silence it waits for on quit.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/HostModule.h"
#include "host/HostParameterChanges.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"
#ifdef THRUMWELL_HAVE_INPUT_FILE
#include <sndfile.h>
#endif
#include "host/HostTransport.h"
#include "tools/player/PlayerEngine.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

constexpr double kRate = 48000.0;
constexpr int kBlock = 128;
constexpr std::int64_t kNow = 1000000000000;  // ns; any moment will do
// The nanoseconds of n frames.
std::int64_t Ns(double frames) { return static_cast<std::int64_t>(frames / kRate * 1e9); }

HostModule& Module()
{
  static HostModule module;
  if (!module.IsLoaded())
  {
    const char* bundle = std::getenv("THRUMWELL_BUNDLE");
    module.Load(bundle ? bundle : "");
  }
  return module;
}

class Engine : public ::testing::Test
{
protected:
  // The instrument set up as the player sets it up, with the choices given.
  void Start(const std::vector<std::string>& choices)
  {
    ASSERT_TRUE(Module().IsLoaded()) << Module().Error();
    ASSERT_TRUE(plugin.Create());
    HostParameterList params(plugin.Controller(), plugin.Units());
    HostParameterChanges changes;
    std::string error;
    ASSERT_TRUE(params.AddUserChoices("", choices, changes, error)) << error;
    plugin.ActivateDefaultBuses();
    if (withInput)
    {
      ASSERT_TRUE(plugin.ActivateBus(kAudio, kInput, 0, true));
    }
    plugin.SetupProcessing(kRate, kBlock);
    plugin.SetActive(true);
    plugin.SetProcessing(true);
    ProcessContext context = HostTransport(kRate, 0, false);
    ASSERT_TRUE(plugin.Process(0, &changes, nullptr, &context));
    engine.Prepare(kRate, kBlock);
    sourceA = engine.AddMidiSource();
    sourceB = engine.AddMidiSource();
  }
  void TearDown() override
  {
    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty());
  }

  float Render(std::int64_t now, int frames = kBlock)
  {
    left.assign(static_cast<std::size_t>(frames), 0.0f);
    right.assign(static_cast<std::size_t>(frames), 0.0f);
    engine.Render(left.data(), right.data(), frames, now, false);
    float peak = 0.0f;
    for (std::size_t i = 0; i < left.size(); ++i)
      peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    return peak;
  }
  static MidiNote Note(std::int64_t time, bool on, int pitch)
  {
    MidiNote note;
    note.timeNs = time;
    note.on = on;
    note.pitch = static_cast<std::uint8_t>(pitch);
    note.velocity = on ? 127 : 0;
    return note;
  }
  // The events of the last piece as (offset, on, pitch).
  std::vector<std::tuple<int, bool, int>> Events()
  {
    std::vector<std::tuple<int, bool, int>> list;
    HostEventList& events = engine.Events();
    for (int32 i = 0; i < events.getEventCount(); ++i)
    {
      Event e{};
      events.getEvent(i, e);
      const bool on = e.type == Event::kNoteOnEvent;
      list.emplace_back(e.sampleOffset, on, on ? e.noteOn.pitch : e.noteOff.pitch);
    }
    return list;
  }

  // Plays a note for a while, quits, and counts the blocks until silence.
  int BlocksUntilSilentAfterQuit(const char* mode)
  {
    Start({mode, "Release=100", "Attack=0", "Volume=100"});
    std::int64_t now = kNow;
    engine.SetPlaying(true);
    sourceA->Push(Note(now, true, 69));
    float peak = 0.0f;
    for (int i = 0; i < 20; ++i)
      peak = Render(now += Ns(kBlock));
    EXPECT_GT(peak, 0.9f) << mode;
    engine.RequestQuit();
    sourceA->Push(Note(now, true, 72));
    int blocks = 0;
    while (!engine.Silent() && blocks < 1000)
    {
      Render(now += Ns(kBlock));
      ++blocks;
    }
    EXPECT_TRUE(engine.Silent()) << mode;
    return blocks;
  }

  HostPlugin plugin{Module(), u"Thrumwell"};
  bool withInput = false;  // activate the audio input bus
  PlayerEngine engine{plugin};
  MidiNoteQueue* sourceA = nullptr;
  MidiNoteQueue* sourceB = nullptr;
  std::vector<float> left, right;
};

}  // namespace

// A block stands for the frames before the moment of its call: a note lands
// at the offset of its arrival within that span, in time order across inputs.
TEST_F(Engine, PlacesNotesByTheirArrival)
{
  Start({"Mode=Synthesizer"});
  struct Case
  {
    std::int64_t arrival;  // ns relative to the call
    int offset;            // -1: not in this block
  };
  const Case cases[] = {
    {-Ns(kBlock) - 1000000, 0},  // before the span: at its start
    {-Ns(kBlock), 0},
    {-Ns(64), 64},
    {-Ns(1) + 1, 127},
    {0, 127},
    {1000, -1},  // after the call: the next block's
  };
  std::int64_t now = kNow;
  for (const Case& c : cases)
  {
    now += Ns(kBlock);
    ASSERT_TRUE(sourceA->Push(Note(now + c.arrival, true, 60)));
    Render(now);
    const auto events = Events();
    if (c.offset < 0)
    {
      EXPECT_TRUE(events.empty()) << c.arrival;
      Render(now + Ns(kBlock));
      ASSERT_EQ(Events().size(), 1u);
      EXPECT_EQ(std::get<0>(Events()[0]), 0);
      now += Ns(kBlock);
    }
    else
    {
      ASSERT_EQ(events.size(), 1u) << c.arrival;
      EXPECT_EQ(std::get<0>(events[0]), c.offset) << c.arrival;
    }
  }

  // Two inputs merge in time order.
  now += Ns(kBlock);
  sourceA->Push(Note(now - Ns(20), true, 62));
  sourceB->Push(Note(now - Ns(100), true, 64));
  sourceB->Push(Note(now - Ns(10), false, 64));
  Render(now);
  const std::vector<std::tuple<int, bool, int>> merged = {{28, true, 64}, {108, true, 62}, {118, false, 64}};
  EXPECT_EQ(Events(), merged);

  // A device block longer than the plug-in's is played in pieces; a note
  // lands in the piece that holds its moment.
  now += Ns(2 * kBlock);
  sourceA->Push(Note(now - Ns(2 * kBlock - 200), false, 62));
  Render(now, 2 * kBlock);
  const std::vector<std::tuple<int, bool, int>> second = {{72, false, 62}};
  EXPECT_EQ(Events(), second);
}

// The transport advances only while playing; stopping ends held notes.
TEST_F(Engine, ReportsTheTransportAndEndsNotesOnStop)
{
  Start({"Mode=Generator", "Volume=100"});
  std::int64_t now = kNow;
  EXPECT_EQ(Render(now += Ns(kBlock)), 0.0f) << "a stopped transport sounds";
  EXPECT_EQ(engine.Position(), 0);
  engine.SetPlaying(true);
  sourceA->Push(Note(now, true, 60));
  sourceA->Push(Note(now, true, 60));
  sourceA->Push(Note(now, true, 67));
  float peak = 0.0f;
  for (int i = 0; i < 10; ++i)
    peak = Render(now += Ns(kBlock));
  EXPECT_NEAR(peak, 0.999f, 0.01f);
  EXPECT_EQ(engine.Position(), 10 * kBlock);
  engine.SetPlaying(false);
  Render(now += Ns(kBlock));
  const std::vector<std::tuple<int, bool, int>> released = {{0, false, 60}, {0, false, 60}, {0, false, 67}};
  EXPECT_EQ(Events(), released);
  EXPECT_LT(std::fabs(left.back()), 0.01f) << "the stop fades within its block";
  EXPECT_EQ(engine.Position(), 10 * kBlock);
  EXPECT_EQ(Render(now += Ns(kBlock)), 0.0f);
  EXPECT_EQ(engine.Blocks(), 13);
}

// Quitting stops the transport, ignores later notes and reports silence once
// a whole block after the fading one is quiet: Generator mode fades within
// one block, a note's release of 100 ms takes about 38 blocks of 128 frames.
// A noise bed reaches the output through the instrument's input while the
// transport runs, fades with it, and leaves silence once quit.
TEST_F(Engine, FeedsTheNoiseBedWhilePlaying)
{
  NoiseBed noise;
  noise.Configure(NoiseBed::Colour::kPink, -20, kRate);
  engine.SetNoise(&noise);
  withInput = true;
  Start({"Mode=Synthesizer"});
  std::int64_t now = kNow;
  EXPECT_EQ(Render(now += Ns(kBlock)), 0.0f) << "a stopped transport plays no bed";
  engine.SetPlaying(true);
  double energy = 0;
  int frames = 0;
  for (int i = 0; i < 400; ++i)
  {
    Render(now += Ns(kBlock));
    for (std::size_t k = 0; i >= 100 && k < left.size(); ++k, ++frames)
      energy += left[k] * left[k];
  }
  EXPECT_NEAR(10 * std::log10(energy / frames), -20, 1.5);
  engine.RequestQuit();
  int blocks = 0;
  while (!engine.Silent() && blocks < 1000)
  {
    Render(now += Ns(kBlock));
    ++blocks;
  }
  // The bed's 50 ms fade at 128 frames a block, and the one silent block.
  EXPECT_NEAR(blocks, 20, 2);
}

#ifdef THRUMWELL_HAVE_INPUT_FILE
// An input file, read ahead by its own thread, reaches the output sample for
// sample once the bed's fade-in is over, with no frame late.
TEST_F(Engine, PlaysAnInputFileReadAhead)
{
  std::vector<float> content;
  for (int i = 0; i < 48000; ++i)
    content.insert(content.end(), {static_cast<float>(std::sin(i * 0.01) * 0.3), static_cast<float>((i % 89) / 300.0)});
  SF_INFO info{};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open("engine-input.wav", SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(sf_writef_float(file, content.data(), 48000), 48000);
  sf_close(file);

  PlayerInput input;
  std::string error;
  ASSERT_TRUE(input.Open("engine-input.wav", kRate, true, 0.0, error)) << error;
  input.Start();
  engine.SetInput(&input);
  withInput = true;
  Start({"Mode=Synthesizer"});
  std::int64_t now = kNow;
  engine.SetPlaying(true);
  const std::size_t fade = static_cast<std::size_t>(PlayerEngine::kBedFadeSeconds * kRate) + 1;
  std::size_t frame = 0, differing = 0, compared = 0;
  // Two and a half times round the file, at about the pace of a sound card:
  // eight blocks (21 ms) every 20 ms. A sleep below a millisecond may not
  // sleep at all on Windows, so the pause comes once per eight blocks.
  for (int block = 0; block < 900; ++block)
  {
    Render(now += Ns(kBlock));
    for (std::size_t k = 0; k < left.size(); ++k, ++frame)
      if (frame >= fade)
      {
        const std::size_t at = frame % 48000;
        differing += left[k] != content[2 * at] || right[k] != content[2 * at + 1];
        ++compared;
      }
    if (block % 8 == 7)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_GT(compared, 100000u);
  EXPECT_EQ(differing, 0u);
  EXPECT_EQ(input.StarvedFrames(), 0);
  EXPECT_FALSE(input.Failed());
  engine.SetPlaying(false);
  Render(now += Ns(kBlock));
  input.Stop();
  std::remove("engine-input.wav");
}
#endif

TEST_F(Engine, QuitsOnceTheFadeHasDiedAway)
{
  EXPECT_EQ(BlocksUntilSilentAfterQuit("Mode=Generator"), 2);
}

TEST_F(Engine, QuitsOnceTheReleaseHasDiedAway)
{
  EXPECT_NEAR(BlocksUntilSilentAfterQuit("Mode=Synthesizer"), 39, 2);
}
