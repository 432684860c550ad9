// Session files and the --at and --ramp options: what they read, and the
// exact message each malformed piece gets.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/session/SessionScript.h"

using namespace ThrumwellSession;

namespace {

// An event as one line of text, for comparing whole parses at a glance.
std::string Show(const SessionEvent& e)
{
  const char* kinds[] = {"set", "ramp", "program"};
  std::string text = std::string(kinds[e.kind]) + " " + std::to_string(e.start);
  if (e.kind == SessionEvent::kRamp)
    text += "->" + std::to_string(e.end);
  text += " [" + e.name + "]";
  if (e.kind != SessionEvent::kProgram)
    text += "=" + (e.from.empty() ? "" : "[" + e.from + "]->") + "[" + e.to + "]";
  return text + " @" + std::to_string(e.nameAt.line) + ":" + std::to_string(e.nameAt.column);
}

// The beds as one line of text.
std::string Show(const SessionBeds& beds)
{
  std::string text;
  char number[32];
  if (beds.noise)
  {
    std::snprintf(number, sizeof number, "%g", beds.noiseDb);
    text += std::string("noise ") + NoiseBed::Name(beds.noiseColour) + "@" + number + " @"
            + std::to_string(beds.noiseAt.line) + ";";
  }
  if (!beds.input.empty())
  {
    std::snprintf(number, sizeof number, "%g", beds.inputGain);
    // The path with the separators written '/' (Windows joins with '\\').
    text += " input [" + std::filesystem::path(beds.input).generic_string() + "] gain=" + number
            + " loop=" + (beds.inputLoop ? "yes" : "no") + " @"
            + std::to_string(beds.inputAt.line) + ":" + std::to_string(beds.inputAt.column);
  }
  return text;
}

std::vector<std::string> Parse(const std::string& text, std::string& error)
{
  std::vector<SessionEvent> events;
  SessionBeds beds;
  std::vector<std::string> shown;
  if (!ParseSessionText(text, "s.txt", events, beds, error) || !OrderSessionEvents(events, error))
    return shown;
  for (const SessionEvent& e : events)
    shown.push_back(Show(e));
  return shown;
}

}  // namespace

TEST(SessionTimeTest, ReadsTheThreeFormsAndNothingElse)
{
  const struct
  {
    const char* text;
    double seconds;  // negative: refused
  } rows[] = {
    {"0", 0},          {"90", 90},          {"2.5", 2.5},        {"05:00", 300},    {"1:02:03", 3723},
    {"90:00", 5400},   {"00:30.25", 30.25}, {"100:00:00", 360000},
    {"", -1},          {"1:60", -1},        {"1:60:00", -1},     {"1:2:3:4", -1},   {"-1", -1},
    {"1e3", -1},       {"1.5:00", -1},      {":30", -1},         {"30:", -1},       {".5", -1},
    {"5.", -1},        {"1..5", -1},        {"nan", -1},         {"inf", -1},       {"0x10", -1},
    {"99999999999", -1},
  };
  for (const auto& row : rows)
  {
    double seconds = -7;
    const bool ok = ParseSessionTime(row.text, seconds);
    EXPECT_EQ(ok, row.seconds >= 0) << row.text;
    if (ok)
    {
      EXPECT_DOUBLE_EQ(seconds, row.seconds) << row.text;
    }
  }
}

TEST(SessionScriptTest, ReadsEventsInTimeOrder)
{
  std::string error;
  const std::vector<std::string> events = Parse(
    "# A descent\n"
    "00:00 program \"Binaural - 7.83 (Schumann Resonance)\"\n"
    "00:00 Binaural=14 Volume=70   # after the program\n"
    "\n"
    "   05:00 -> 30:00 Binaural=4\n"
    "30:00->31:00 Volume=70->0 \"Pan Reverse\"=Yes\n"
    "1:00:00 program 83 Wave=\"Square\"\r\n",
    error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(events, (std::vector<std::string>{
                      "program 0.000000 [Binaural - 7.83 (Schumann Resonance)] @2:15",
                      "set 0.000000 [Binaural]=[14] @3:7",
                      "set 0.000000 [Volume]=[70] @3:19",
                      "ramp 300.000000->1800.000000 [Binaural]=[4] @5:19",
                      "ramp 1800.000000->1860.000000 [Volume]=[70]->[0] @6:14",
                      "ramp 1800.000000->1860.000000 [Pan Reverse]=[Yes] @6:27",
                      "program 3600.000000 [83] @7:17",
                      "set 3600.000000 [Wave]=[Square] @7:20",
                    }));
}

TEST(SessionScriptTest, RefusesMalformedLinesWithWhereAndWhatWasExpected)
{
  const struct
  {
    std::string text;
    const char* message;
  } rows[] = {
    {"Binaural=4\n", "s.txt:1:1: expected a time (SS, MM:SS or HH:MM:SS) at the start of the line"},
    {"1:75 Volume=3\n", "s.txt:1:1: expected a time (SS, MM:SS or HH:MM:SS) at the start of the line"},
    {"00:10\n", "s.txt:1:6: expected a setting NAME=VALUE or program \"NAME\" after the time"},
    {"00:10 # nothing\n", "s.txt:1:7: expected a setting NAME=VALUE or program \"NAME\" after the time"},
    {"10 Volume=3\n5 Volume=4\n",
     "s.txt:2:1: expected a time at or after 00:10, the time of s.txt:1 (times may not go backwards)"},
    {"10 -> Volume=3\n", "s.txt:1:7: expected an end time after \"->\": a time (SS, MM:SS or HH:MM:SS)"},
    {"10 -> 10 Volume=3\n", "s.txt:1:7: expected an end time later than the start, 00:10"},
    {"0 Volume\n", "s.txt:1:9: expected \"=\" after the name \"Volume\""},
    {"0 Volume=\n", "s.txt:1:10: expected a value after \"=\""},
    {"0 =3\n", "s.txt:1:3: expected a parameter name"},
    {"0 Volume=3->4\n", "s.txt:1:11: expected a single value: \"->\" in a value needs a ramp line (START -> END)"},
    {"0 -> 5 Volume=->4\n", "s.txt:1:15: expected a start value before \"->\""},
    {"0 -> 5 Volume=3->\n", "s.txt:1:18: expected a value after \"->\""},
    {"0 \"Pan Reverse=Yes\n", "s.txt:1:3: expected a closing quote"},
    {"0 Volume=\"3\"Wave=2\n", "s.txt:1:13: expected a blank between settings"},
    {"0 program\n", "s.txt:1:10: expected a program name (quoted when it has blanks) or number"},
    {"0 -> 5 program 3\n", "s.txt:1:8: expected a setting NAME=VALUE: a program change cannot be a ramp"},
    {"0 -> 30 Binaural=4\n10 Binaural=5\n",
     "s.txt:2:4: \"Binaural\" ramps from 00:00 to 00:30 (s.txt:1); expected a time at or after 00:30 for another "
     "setting of it"},
    {"0 -> 30 Binaural=4\n29.5 -> 40 Binaural=5\n",
     "s.txt:2:12: \"Binaural\" ramps from 00:00 to 00:30 (s.txt:1); expected a time at or after 00:30 for another "
     "ramp of it"},
    {"0 -> 30 Binaural=4 Binaural=5\n",
     "s.txt:1:20: \"Binaural\" ramps from 00:00 to 00:30 (s.txt:1); expected a time at or after 00:30 for another "
     "ramp of it"},
    {std::string("0 Volume=3\n1 Vol\0ume=4\n", 23), "s.txt:2:1: expected text, found a zero byte"},
    // Beds: at 00:00, on lines of their own, one of each kind, their values whole.
    {"00:05 noise pink\n", "s.txt:1:1: expected 00:00 for the noise line: a bed plays from the start to the end of "
                           "the session"},
    {"0 Volume=3\n1:00 input rain.flac\n", "s.txt:2:1: expected 00:00 for the input line: a bed plays from the start "
                                           "to the end of the session"},
    {"0 -> 5 noise pink\n", "s.txt:1:8: expected a setting NAME=VALUE: a noise bed cannot be a ramp"},
    {"0 Volume=3 noise pink\n", "s.txt:1:12: expected \"noise\" at the start of a line of its own"},
    {"0 noise pink Volume=3\n", "s.txt:1:14: expected the end of the line after the noise bed (a bed has a line of "
                                "its own)"},
    {"0 noise grey\n", "s.txt:1:9: expected a noise colour, white, pink or brown, with @DB from -120 to 0 (RMS level, "
                       "default -20), not \"grey\""},
    {"0 noise pink@6\n", "s.txt:1:9: expected a noise colour, white, pink or brown, with @DB from -120 to 0 (RMS "
                         "level, default -20), not \"pink@6\""},
    {"0 noise\n", "s.txt:1:8: expected a noise colour, white, pink or brown, with @DB from -120 to 0 (RMS level, "
                  "default -20), not \"\""},
    {"0 noise pink\n0 noise brown\n", "s.txt:2:3: expected one noise line in a session; the first is s.txt:1"},
    {"0 input\n", "s.txt:1:8: expected an audio file's name (quoted when it has blanks) after \"input\""},
    {"0 input \"rain.flac\n", "s.txt:1:9: expected a closing quote"},
    {"0 input a.wav\n0 input b.wav\n", "s.txt:2:3: expected one input line in a session; the first is s.txt:1"},
    {"0 input a.wav gain=-130\n", "s.txt:1:20: expected a gain from -120 to 24 dB, not \"-130\""},
    {"0 input a.wav gain=-6dB\n", "s.txt:1:20: expected a gain from -120 to 24 dB, not \"-6dB\""},
    {"0 input a.wav gain=\n", "s.txt:1:20: expected a gain from -120 to 24 dB, not \"\""},
    {"0 input a.wav loop=maybe\n", "s.txt:1:20: expected loop=yes or loop=no, not \"maybe\""},
    {"0 input a.wav gain=1 gain=2\n", "s.txt:1:22: expected gain= once on the line"},
    {"0 input a.wav Volume=3\n", "s.txt:1:15: expected gain=DB or loop=yes|no after the input file (a bed has a line "
                                 "of its own)"},
    {"0 input a.wav gain\n", "s.txt:1:15: expected gain=DB or loop=yes|no after the input file (a bed has a line of "
                             "its own)"},
    {"0 input \"a.wav\"gain=1\n", "s.txt:1:16: expected a blank between the input's settings"},
  };
  for (const auto& row : rows)
  {
    std::string error;
    EXPECT_TRUE(Parse(row.text, error).empty()) << row.text;
    EXPECT_EQ(error, row.message) << row.text;
  }
}

TEST(SessionScriptTest, ReadsTheBedsBesideTheEvents)
{
  const struct
  {
    const char* file;
    const char* text;
    const char* beds;  // as Show gives them
    std::size_t events;
  } rows[] = {
    {"s.txt", "00:00 noise brown@-24\n", "noise brown@-24 @1;", 0},
    {"s.txt", "0 noise white   # a comment\n", "noise white@-20 @1;", 0},
    // The input's path is taken from the session file's folder, unless absolute.
    {"dir/s.txt", "0 program 3\n0 input \"rain and wind.flac\" gain=-12 loop=no\n0:10 Volume=3\n",
     " input [dir/rain and wind.flac] gain=-12 loop=no @2:9", 2},
    {"/a/b/s.txt", "0 input sub/rain.flac loop=no gain=+3.5\n", " input [/a/b/sub/rain.flac] gain=3.5 loop=no @1:9", 0},
    {"dir/s.txt", "0 input /music/song.mp3\n", " input [/music/song.mp3] gain=0 loop=yes @1:9", 0},
    {"s.txt", "0 noise pink@-30\n0 input song.ogg\n", "noise pink@-30 @1; input [song.ogg] gain=0 loop=yes @2:9", 0},
    // Parameters of those names stay parameters.
    {"s.txt", "0 noise=3 \"input\"=4\n", "", 2},
  };
  for (const auto& row : rows)
  {
    std::vector<SessionEvent> events;
    SessionBeds beds;
    std::string error;
    ASSERT_TRUE(ParseSessionText(row.text, row.file, events, beds, error)) << row.text << error;
    EXPECT_EQ(Show(beds), row.beds) << row.text;
    EXPECT_EQ(events.size(), row.events) << row.text;
  }
}

TEST(SessionScriptTest, RampsMayMeetAndSettingsMayPrecedeThem)
{
  std::string error;
  // A setting at a ramp's start written before it gives the ramp its start;
  // the next ramp may begin where the last ends; other parameters are free.
  EXPECT_EQ(Parse("0 Binaural=14\n0 -> 30 Binaural=4\n10 Volume=20\n30 -> 40 Binaural=8\n40 Binaural=1\n", error)
              .size(),
            5u)
    << error;
}

TEST(SessionScriptTest, ReadsAndRefusesTheOptions)
{
  SessionEvent event;
  std::string error;
  ASSERT_TRUE(ParseAtOption("Wave=Square@1:30", event, error)) << error;
  EXPECT_EQ(Show(event), "set 90.000000 [Wave]=[Square] @0:1");
  ASSERT_TRUE(ParseRampOption("Frequency=200->400@1.5+2", event, error)) << error;
  EXPECT_EQ(Show(event), "ramp 1.500000->3.500000 [Frequency]=[200]->[400] @0:1");
  ASSERT_TRUE(ParseRampOption("Pan Reverse=->Yes@0+00:10", event, error)) << error;
  EXPECT_EQ(Show(event), "ramp 0.000000->10.000000 [Pan Reverse]=[Yes] @0:1");

  const struct
  {
    bool ramp;
    const char* text;
    const char* message;
  } rows[] = {
    {false, "Wave", "--at \"Wave\", column 1: expected NAME=VALUE@TIME"},
    {false, "Wave=Saw", "--at \"Wave=Saw\", column 9: expected \"@TIME\" after the value"},
    {false, "Wave=@3", "--at \"Wave=@3\", column 6: expected a value after \"=\""},
    {false, "Wave=Saw@-3", "--at \"Wave=Saw@-3\", column 10: expected a time (SS, MM:SS or HH:MM:SS) after \"@\""},
    {true, "Binaural=4@0+5", "--ramp \"Binaural=4@0+5\", column 10: expected FROM->TO (FROM may be left out)"},
    {true, "Binaural=4->@0+5", "--ramp \"Binaural=4->@0+5\", column 13: expected a value after \"->\""},
    {true, "Binaural=4->5@0", "--ramp \"Binaural=4->5@0\", column 15: expected START+LENGTH, START a time (SS, "
                              "MM:SS or HH:MM:SS)"},
    {true, "Binaural=4->5@0+0", "--ramp \"Binaural=4->5@0+0\", column 17: expected a LENGTH above 0 after \"+\""},
    {true, "=4->5@0+1", "--ramp \"=4->5@0+1\", column 1: expected NAME=FROM->TO@START+LENGTH"},
  };
  for (const auto& row : rows)
  {
    EXPECT_FALSE(row.ramp ? ParseRampOption(row.text, event, error) : ParseAtOption(row.text, event, error))
      << row.text;
    EXPECT_EQ(error, row.message);
  }
}

TEST(SessionScriptTest, OptionsJoinTheOrderAndItsChecks)
{
  std::vector<SessionEvent> events(3);
  std::string error;
  ASSERT_TRUE(ParseRampOption("Volume=->0@10+20", events[0], error));
  ASSERT_TRUE(ParseAtOption("Wave=Saw@5", events[1], error));
  ASSERT_TRUE(ParseAtOption("Volume=50@29", events[2], error));
  EXPECT_FALSE(OrderSessionEvents(events, error));
  EXPECT_EQ(error, "--at \"Volume=50@29\", column 1: \"Volume\" ramps from 00:10 to 00:30 (--ramp "
                   "\"Volume=->0@10+20\"); expected a time at or after 00:30 for another setting of it");
  events.pop_back();
  ASSERT_TRUE(OrderSessionEvents(events, error));
  EXPECT_EQ(events[0].name, "Wave");
}
