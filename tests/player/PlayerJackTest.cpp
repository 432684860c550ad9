// The player as a user runs it, on a JACK server with the dummy driver: the
// sound it plays (frequencies and gain of a program, the pitch of a MIDI
// note), stopping without a click (by --seconds and by Ctrl+C), the settings
// it remembers, and every way a device choice can fail.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/player/PlayerJackFixture.h"

namespace {

using namespace PlayerTest;

constexpr int kRate = JackRecorder::kRate;
// Volume 90 as the instrument's volume law gives it.
constexpr double kGain90 = 0.47694338115325313;


}  // namespace

// A Generator program plays at its carrier and beat with its volume while the
// transport runs; --seconds ends it with the instrument's fade, no click.
TEST_F(PlayerOnJack, PlaysAProgramAndEndsWithAFade)
{
  ASSERT_EQ(Run({"--program", "Higher frequencies", "--seconds", "1.5"}), 0) << Errors();
  const auto [first, last] = Sounding(*recorder);
  ASSERT_LT(first, last) << "nothing was played\n" << Errors();
  EXPECT_NEAR(static_cast<double>(last - first) / kRate, 1.5, 0.05);
  // "Center Freq" on: the carrier 400 Hz is the middle of 398 and 402 Hz.
  const std::size_t begin = first + kRate / 4, end = last - kRate / 4;
  const std::vector<float>& left = recorder->Channel(0);
  const std::vector<float>& right = recorder->Channel(1);
  EXPECT_NEAR(Frequency(left, begin, end), 398.0, 0.05);
  EXPECT_NEAR(Frequency(right, begin, end), 402.0, 0.05);
  EXPECT_NEAR(Peak(left, begin, end), kGain90, 0.002);
  EXPECT_NEAR(Peak(right, begin, end), kGain90, 0.002);
  // A sine of 402 Hz at this gain moves at most 2 pi f / rate * gain per
  // sample; the one-block fades add gain / 128. A cut would jump by the gain.
  const float allowed = static_cast<float>(2.0 * M_PI * 402.0 / kRate * kGain90 + kGain90 / 128.0) * 1.05f;
  EXPECT_EQ(Clicks(*recorder, 0, recorder->Frames(), allowed, ReportedDropOuts(Errors())), "");
  EXPECT_NE(Errors().find("drop-outs:"), std::string::npos) << Errors();
}

// Ctrl+C (and SIGTERM) while playing: the sound fades out, the player exits 0.
TEST_F(PlayerOnJack, StopSignalFadesOutAndExitsZero)
{
  for (int signal : {SIGINT, SIGTERM})
  {
    const std::size_t from = recorder->Frames();
    auto child = Start({"--param", "Mode=Generator", "--param", "Volume=100", "--param", "Frequency=1000"});
    ASSERT_TRUE(WaitFor(10.0, [&] { return recorder->Frames() > from + kRate / 5 && recorder->RecentPeak(kRate / 10) > 0.9f; }))
      << Errors();
    child->Signal(signal);
    ASSERT_EQ(child->Wait(15.0), 0) << "signal " << signal << "\n" << Errors();
    EXPECT_LT(recorder->RecentPeak(1024), 1e-6f) << "still sounding after the exit";
    // 1000 Hz at gain 0.999: at most 0.131 per sample, plus the fade's step.
    const float allowed = static_cast<float>(2.0 * M_PI * 1000.0 / kRate * kGain100 + kGain100 / 128.0) * 1.05f;
    EXPECT_EQ(Clicks(*recorder, from, recorder->Frames(), allowed, ReportedDropOuts(Errors())), "")
      << "signal " << signal;
  }
}

// The space bar stops and plays the transport: the Generator tone fades out
// and in with the instrument's own ramps, no click, silence between, and it
// resumes at its frequencies, phase-locked to a position that did not move.
TEST_F(PlayerOnJack, SpaceStopsAndPlaysWithoutAClick)
{
  const std::size_t from = recorder->Frames();
  auto child = Start({"--program", "Higher frequencies", "--param", "Volume=100"}, true, "", true);
  auto sounding = [&] { return recorder->Frames() > from + kRate / 5 && recorder->RecentPeak(kRate / 20) > 0.9f; };
  ASSERT_TRUE(WaitFor(10.0, sounding)) << Errors();
  child->Type(" ");
  ASSERT_TRUE(WaitFor(5.0, [&] { return recorder->RecentPeak(kRate / 5) < 1e-6f; })) << "still sounding after stop\n"
                                                                                 << Errors();
  const std::size_t silentAt = recorder->Frames();
  child->Type(" ");
  ASSERT_TRUE(WaitFor(5.0, [&] { return recorder->Frames() > silentAt + kRate / 2 && sounding(); })) << Errors();
  child->Type("q");
  ASSERT_EQ(child->Wait(15.0), 0) << Errors();

  const std::size_t end = recorder->Frames();
  const float allowed = static_cast<float>(2.0 * M_PI * 402.0 / kRate * kGain100 + kGain100 / 128.0) * 1.05f;
  EXPECT_EQ(Clicks(*recorder, from, end, allowed, ReportedDropOuts(Errors())), "");
  // After the restart: the program's frequencies again.
  std::size_t last = end;
  while (last > silentAt && std::fabs(recorder->Channel(0)[last - 1]) < 1e-6f)
    --last;
  ASSERT_GT(last, silentAt + kRate / 2);
  EXPECT_NEAR(Frequency(recorder->Channel(0), last - kRate / 2, last - 1024), 398.0, 0.1);
  EXPECT_NEAR(Frequency(recorder->Channel(1), last - kRate / 2, last - 1024), 402.0, 0.1);
}

// A MIDI note in Synthesizer mode sounds at its pitch from the tuning
// reference; its note-off releases it to silence.
TEST_F(PlayerOnJack, PlaysMidiNotesAtTheirPitch)
{
  auto child = Start({"--param", "Mode=Synthesizer", "--param", "Attack=0", "--param", "Release=0", "--param",
                      "Fade=1", "--param", "Volume=100", "--param", "Tuning Freq=440", "--param", "Binaural=4",
                      "--param", "Center Freq=No"});
  ASSERT_TRUE(WaitFor(10.0, [&] { return recorder->MidiConnected(); })) << "the player opened no MIDI input\n"
                                                                       << Errors();
  SleepMs(200);
  EXPECT_LT(recorder->RecentPeak(kRate / 10), 1e-6f) << "Synthesizer mode sounds before a note";
  for (int note : {81, 57})
  {
    recorder->Send(0x90, static_cast<std::uint8_t>(note), 127);
    SleepMs(700);
    const std::size_t end = recorder->Frames();
    const std::size_t begin = end - kRate / 2;
    const double carrier = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    EXPECT_NEAR(Frequency(recorder->Channel(0), begin, end), carrier, 0.05) << "note " << note;
    EXPECT_NEAR(Frequency(recorder->Channel(1), begin, end), carrier + 4.0, 0.05) << "note " << note;
    EXPECT_NEAR(Peak(recorder->Channel(0), begin, end), kGain100, 0.002) << "note " << note;
    recorder->Send(0x80, static_cast<std::uint8_t>(note), 0);
    EXPECT_TRUE(WaitFor(2.0, [&] { return recorder->RecentPeak(kRate / 20) < 1e-6f; })) << "note " << note;
  }
  child->Signal(SIGINT);
  EXPECT_EQ(child->Wait(15.0), 0) << Errors();
}

// The second start plays the device and the state the first one ended with.
TEST_F(PlayerOnJack, RestoresTheDeviceAndStateOfTheLastRun)
{
  ASSERT_EQ(Run({"--program", "Higher frequencies", "--param", "Volume=100", "--seconds", "0.3"}), 0) << Errors();
  const std::string device = ReadText((home / "config" / "thrumwell" / "device.txt").string());
  EXPECT_NE(device.find("api=jack\n"), std::string::npos) << device;
  EXPECT_NE(device.find("device=recorder\n"), std::string::npos) << device;
  EXPECT_TRUE(std::filesystem::exists(home / "config" / "thrumwell" / "state.bin"));

  const std::size_t from = recorder->Frames();
  ASSERT_EQ(Run({"--seconds", "1"}, false), 0) << Errors();
  const std::size_t end = recorder->Frames();
  ASSERT_GT(Peak(recorder->Channel(0), from, end), 0.5f) << "the saved device was not used\n" << Errors();
  const auto [first, last] = Sounding(*recorder);
  ASSERT_LT(first, last);
  const std::size_t begin = std::max(from, last - kRate / 2 - kRate / 4);
  EXPECT_NEAR(Frequency(recorder->Channel(0), begin, last - kRate / 4), 398.0, 0.05);
  EXPECT_NEAR(Peak(recorder->Channel(0), begin, last - kRate / 4), kGain100, 0.002);
}

// Device choices the player cannot meet: exit 2 for a bad choice, 1 for a
// failing device, and one line naming the choice and the alternatives.
TEST_F(PlayerOnJack, RefusesDevicesItCannotPlay)
{
  struct Case
  {
    std::vector<std::string> args;
    int status;
    const char* message;
    const char* alternatives;  // what else the message offers
  };
  const Case cases[] = {
    {{"--api", "jack", "--device", "no such card"}, 2, "no output device \"no such card\" in jack", "\"recorder\""},
    {{"--api", "jack", "--device", "99"}, 2, "no output device \"99\"", "0 \"system\""},
    {{"--api", "jack", "--device", "recorder", "--rate", "44100"}, 2,
     "the device \"recorder\" does not play at 44100 Hz", "it offers 48000 Hz"},
    {{"--api", "nosuch"}, 2, "--api", "jack"},
    {{"--api", "wasapi"}, 2, "the audio system \"wasapi\" is not available in this build", "jack"},
    {{"--rate", "7"}, 2, "--rate", "8000"},
    {{"--buffer", "lots"}, 2, "--buffer", "--buffer"},
    {{"--api", "jack", "--device", "recorder", "--midi", "no such keyboard"}, 2,
     "no MIDI input \"no such keyboard\"", "recorder:midi_out"},
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(Run(c.args, false), c.status) << c.args[1];
    const std::string errors = Errors();
    EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
    EXPECT_NE(errors.find(c.alternatives), std::string::npos) << errors;
  }
  // A JACK that is not running: the device fails.
  EXPECT_EQ(Run({"--api", "jack"}, false, "thrumwell-no-such-server"), 1);
  EXPECT_NE(Errors().find("the audio system \"jack\" has no output device"), std::string::npos) << Errors();
}

// The server going away while playing: the player says so and exits 1
// instead of hanging.
TEST_F(PlayerOnJack, ReportsADeviceThatVanishes)
{
  JackServer own;
  ASSERT_TRUE(own.Running());
  auto child = Start({"--api", "jack"}, false, own.Name());
  SleepMs(1500);
  ASSERT_FALSE(child->Exited()) << Errors();
  own.Kill();
  EXPECT_EQ(child->Wait(15.0), 1) << Errors();
  EXPECT_NE(Errors().find("the device \"system\""), std::string::npos) << Errors();
}

// A session runs in the time played: an --at of the beat frequency changes
// the tone at 1 s of sound, though the transport stood still for a second
// before; a --ramp moves it along its line in Hz.
TEST_F(PlayerOnJack, PlaysASessionInTheTimePlayed)
{
  const std::vector<std::string> tone = {"--program", "Higher frequencies", "--param", "Volume=100", "--param",
                                         "Fade=1"};
  // The recording from `from` on, without its silent frames: the sound as
  // the transport played it.
  auto played = [&](std::size_t from, int c) {
    std::vector<float> sound;
    for (std::size_t i = from; i < recorder->Frames(); ++i)
      if (std::fabs(recorder->Channel(0)[i]) > 1e-6f || std::fabs(recorder->Channel(1)[i]) > 1e-6f)
        sound.push_back(recorder->Channel(c)[i]);
    return sound;
  };

  {
    std::vector<std::string> args = tone;
    args.insert(args.end(), {"--at", "Binaural=20@1", "--seconds", "2"});
    const std::size_t from = recorder->Frames();
    auto child = Start(args, true, "", true);
    ASSERT_TRUE(WaitFor(10.0, [&] { return recorder->Frames() > from + kRate / 5 && recorder->RecentPeak(kRate / 20) > 0.9f; }))
      << Errors();
    child->Type(" ");
    SleepMs(1000);
    child->Type(" ");
    ASSERT_EQ(child->Wait(30.0), 0) << Errors();
    const std::vector<float> left = played(from, 0), right = played(from, 1);
    ASSERT_GT(left.size(), 2u * kRate - kRate / 10) << Errors();
    // Centred on 400 Hz: 4 Hz apart before, 20 Hz after; a block of fade
    // either side of the pause counts as sound, so the change may land a
    // few hundred frames off the second.
    EXPECT_NEAR(Frequency(left, kRate * 6 / 10, kRate - 600), 398.0, 0.1);
    EXPECT_NEAR(Frequency(right, kRate * 6 / 10, kRate - 600), 402.0, 0.1);
    EXPECT_NEAR(Frequency(left, kRate + 600, kRate * 19 / 10), 390.0, 0.1);
    EXPECT_NEAR(Frequency(right, kRate + 600, kRate * 19 / 10), 410.0, 0.1);
  }
  {
    // 4 -> 24 Hz from 0.5 s over 1 s: 4 Hz more each 0.2 s.
    std::vector<std::string> args = tone;
    args.insert(args.end(), {"--ramp", "Binaural=4->24@0.5+1", "--seconds", "2"});
    const std::size_t from = recorder->Frames();
    ASSERT_EQ(Start(args)->Wait(30.0), 0) << Errors();
    const std::vector<float> right = played(from, 1);
    ASSERT_GT(right.size(), 2u * kRate - kRate / 10) << Errors();
    for (double t : {0.7, 1.0, 1.3})
    {
      const double beat = 4.0 + 20.0 * (t - 0.5);
      const std::size_t mid = static_cast<std::size_t>(t * kRate);
      EXPECT_NEAR(Frequency(right, mid - kRate / 20, mid + kRate / 20), 400.0 + beat / 2, 0.15) << "at " << t << " s";
    }
    EXPECT_NEAR(Frequency(right, kRate * 16 / 10, kRate * 19 / 10), 412.0, 0.1);
  }
}

// Session refusals come before any sound, with the renderer's messages.
TEST_F(PlayerOnJack, RefusesABadSession)
{
  const std::filesystem::path file = home / "bad.session";
  std::ofstream(file) << "00:00 Binaural=4\n00:10 -> 00:05 Binaural=8\n";
  struct Case
  {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
    {{"--at", "Nonsense=4@1"}, "unknown parameter \"Nonsense\""},
    {{"--at", "Binaural=900@1"}, "expected a value of \"Binaural\""},
    {{"--ramp", "Binaural=4->8@x+1"}, "--ramp"},
    {{"--session", file.string()}, "bad.session:2:"},
  };
  for (const Case& c : cases)
  {
    const std::size_t from = recorder->Frames();
    EXPECT_EQ(Run(c.args), 2) << c.args[1];
    EXPECT_NE(Errors().find(c.message), std::string::npos) << Errors();
    EXPECT_LT(Peak(recorder->Channel(0), from, recorder->Frames()), 1e-6f) << c.args[1];
  }
}

// An input file plays under the tone: a 16-bit WAV of one second of 1 kHz
// (cut at a zero crossing), looped for three, arrives at its pitch and level
// with no click at the seams and no frame that the reader supplied late.
TEST_F(PlayerOnJack, PlaysAnInputFileUnderTheTone)
{
  const std::string file = (home / "kilohertz.wav").string();
  {
    std::ofstream out(file, std::ios::binary);
    auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t frames = kRate, bytes = frames * 4;
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    for (std::uint32_t i = 0; i < frames; ++i)
    {
      const auto v = static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * M_PI * 1000.0 * i / kRate)));
      u16(static_cast<std::uint16_t>(v));
      u16(static_cast<std::uint16_t>(v));
    }
  }
  // Synthesizer mode without notes: only the file sounds.
  ASSERT_EQ(Run({"--param", "Mode=Synthesizer", "--input", file, "--seconds", "3"}), 0) << Errors();
  const auto [first, last] = Sounding(*recorder);
  ASSERT_LT(first, last) << "nothing was played\n" << Errors();
  EXPECT_NEAR(static_cast<double>(last - first) / kRate, 3.0, 0.1);
  const std::size_t begin = first + kRate / 4, end = last - kRate / 4;
  for (int channel = 0; channel < 2; ++channel)
  {
    EXPECT_NEAR(Frequency(recorder->Channel(channel), begin, end), 1000.0, 0.05);
    EXPECT_NEAR(Peak(recorder->Channel(channel), begin, end), 0.5, 0.001);
  }
  const float allowed = static_cast<float>(2.0 * M_PI * 1000.0 / kRate * 0.5) * 1.05f;
  EXPECT_EQ(Clicks(*recorder, begin, end, allowed, ReportedDropOuts(Errors())), "");
  EXPECT_EQ(Errors().find("input frames late"), std::string::npos) << Errors();
}
