#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plug/IPlugBase.h"
#include "tests/plug/TestPlug.h"

TEST(IPlugBase, ConstructionSetsIdentityAndEmptySlots)
{
  TestPlug plug;
  EXPECT_STREQ(plug.GetEffectName(), "Thrumwell");
  EXPECT_STREQ(plug.GetProductName(), "");
  EXPECT_STREQ(plug.GetMfrName(), "Quorvik");
  EXPECT_EQ(plug.GetUniqueId(), 0x337A626F);
  EXPECT_EQ(plug.GetVersion(), 0x00021E00);
  EXPECT_EQ(plug.GetApiKind(), IPlugBase::kApiVst3);
  EXPECT_EQ(plug.GetHostId(), kHostUnidentified);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_EQ(plug.GetBlockSize(), 0);
  EXPECT_FALSE(plug.IsRenderReady());
  EXPECT_TRUE(plug.DoesMidi());
  EXPECT_TRUE(plug.IsInstrument());
  EXPECT_EQ(plug.GetCurrentProgram(), 0);
  EXPECT_EQ(plug.GetPendingEndEdit(), -1);
  EXPECT_EQ(plug.GetEditor(), nullptr);

  ASSERT_EQ(plug.NPrograms(), TestPlug::kNumPrograms);
  EXPECT_STREQ(plug.GetProgramName(0), "- 1 -");
  EXPECT_STREQ(plug.GetProgramName(7), "- 8 -");
  EXPECT_STREQ(plug.GetProgramName(8), "");
  EXPECT_STREQ(plug.GetProgramName(-1), "");

  EXPECT_EQ(plug.NParams(), 12);
  EXPECT_EQ(plug.GetParam(12), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
}

TEST(IPlugBase, VersionText)
{
  char text[32];
  IPlugBase::GetVersionText(0x00021E00, text);
  EXPECT_STREQ(text, "v2.30");
  IPlugBase::GetVersionText(0x00010500, text);
  EXPECT_STREQ(text, "v1.05");
}

TEST(IPlugBase, NamesAreCutToTheirFields)
{
  const std::string longName(300, 'a');
  IPlugBase plug(0, "", 2, longName.c_str(), nullptr, longName.c_str(), 0, 0, 0, 0, false, false, false, 1);
  EXPECT_EQ(std::string(plug.GetEffectName()), std::string(127, 'a'));
  EXPECT_STREQ(plug.GetProductName(), "");
  plug.NameDefaultPrograms(longName.c_str(), 1);
  EXPECT_EQ(std::string(plug.GetProgramName(0)), std::string(255, 'a'));
}

TEST(IPlugBase, IdentifyHost)
{
  const struct
  {
    const char* name;
    IHostId id;
  } cases[] = {
    {"Cubase Pro 12", 3},
    {"REAPER", 1},
    {"Ableton Live 11", 9},
    {"WaveLab Pro", 28},
    {"FL Studio (Fruity Loops)", 7},
    {"", 0},
    {nullptr, 0},
    {"Unheard-of Host", 0},
    {"Nuendo with Cubase inside", 3},   // earlier keys win
    {"Dromelkast Cubase", 29},
    {"Digital WaveLab", 22},            // "wavelab" comes after "digital"
    {"Live WaveLab", 9},
    {"ARDOUR", 27},
    {"GoldWave", 30},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IdentifyHost(c.name), c.id) << (c.name ? c.name : "(null)");

  // Only the first 255 characters are searched.
  EXPECT_EQ(IdentifyHost((std::string(250, ' ') + "reaper").c_str()), 0);
  EXPECT_EQ(IdentifyHost((std::string(249, ' ') + "reaper").c_str()), 1);

  TestPlug plug;
  plug.SetHost("Steinberg Cubase", 1300);
  EXPECT_EQ(plug.GetHostId(), 3);
  EXPECT_EQ(plug.GetHostVersion(), 1300);
}

TEST(IPlugBase, NameDefaultProgramsTakesFreePrograms)
{
  TestPlug plug;
  plug.NameDefaultPrograms("---- default ----", 1);
  EXPECT_STREQ(plug.GetProgramName(0), "---- default ----");
  EXPECT_TRUE(plug.GetProgram(0)->used);
  EXPECT_EQ(plug.GetProgram(0)->state.Size(), 0);
  EXPECT_STREQ(plug.GetProgramName(1), "- 2 -");
  EXPECT_FALSE(plug.GetProgram(1)->used);

  plug.NameDefaultPrograms(nullptr, 2);
  EXPECT_STREQ(plug.GetProgramName(1), "Default");
  EXPECT_STREQ(plug.GetProgramName(2), "Default");
  // More than are free: the rest are ignored.
  plug.NameDefaultPrograms("Last", 100);
  EXPECT_STREQ(plug.GetProgramName(TestPlug::kNumPrograms - 1), "Last");
}

TEST(IPlugBase, StoreProgramWritesTheStateLayout)
{
  TestPlug plug;
  plug.NameDefaultPrograms("Default", 1);
  const double values[TestPlug::kNumParams] = {432.5, 7.4, 2.5, 80, 100, 0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
  ASSERT_TRUE(plug.StoreProgram("Stored", values, TestPlug::kNumParams));
  const IProgram* program = plug.GetProgram(1);
  EXPECT_TRUE(program->used);
  EXPECT_STREQ(program->name, "Stored");
  ASSERT_EQ(program->state.Size(), 96);
  double v = 0.0;
  EXPECT_EQ(program->state.ReadDouble(&v, 0), 8);
  EXPECT_EQ(v, 432.5);
  // Integer and list parameters store whole numbers.
  program->state.ReadDouble(&v, 8);
  EXPECT_EQ(v, 7.0);
  program->state.ReadDouble(&v, 16);
  EXPECT_EQ(v, 3.0);

  // A value list of the wrong length takes no program.
  EXPECT_FALSE(plug.StoreProgram("Short", values, 11));
  EXPECT_FALSE(plug.GetProgram(2)->used);
}

TEST(IPlugBase, StoreProgramWithoutFreeProgramDoesNothing)
{
  TestPlug plug;
  plug.NameDefaultPrograms("Default", TestPlug::kNumPrograms);
  const double values[TestPlug::kNumParams] = {};
  EXPECT_FALSE(plug.StoreProgram("Extra", values, TestPlug::kNumParams));
  for (int i = 0; i < plug.NPrograms(); ++i)
    EXPECT_STREQ(plug.GetProgramName(i), "Default");
}

class ProgramSelection : public ::testing::Test
{
protected:
  void SetUp() override
  {
    plug.NameDefaultPrograms("Default", 1);
    const double values[TestPlug::kNumParams] = {1000.0, 42, 3, 25, 500, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7};
    plug.StoreProgram("Stored", values, TestPlug::kNumParams);
    plug.AttachEditor(editor = new FakeEditor);
    editor->mirrors.clear();
    plug.changes.clear();
  }

  TestPlug plug;
  FakeEditor* editor = nullptr;
};

TEST_F(ProgramSelection, StoredProgramSetsEveryParameterAndTheEditor)
{
  EXPECT_TRUE(plug.SelectProgram(1));
  EXPECT_EQ(plug.GetCurrentProgram(), 1);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 1000.0);
  EXPECT_EQ(plug.GetParam(2)->GetValue(), 3.0);
  EXPECT_EQ(plug.GetParam(11)->GetValue(), 0.7);
  EXPECT_EQ(plug.changes.size(), 12u);
  // The editor gets real values, one per parameter.
  ASSERT_EQ(editor->mirrors.size(), 12u);
  EXPECT_EQ(editor->mirrors[0].paramIdx, 0);
  EXPECT_EQ(editor->mirrors[0].value, 1000.0);
  EXPECT_FALSE(editor->mirrors[0].normalized);
}

TEST_F(ProgramSelection, EmptyStateChangesNothing)
{
  const auto before = plug.Values();
  EXPECT_FALSE(plug.SelectProgram(0));
  EXPECT_EQ(plug.Values(), before);
  EXPECT_TRUE(plug.changes.empty());
  EXPECT_TRUE(editor->mirrors.empty());
  EXPECT_EQ(plug.GetCurrentProgram(), 0);
}

TEST_F(ProgramSelection, FreeProgramsBecomeUserPresets)
{
  const auto before = plug.Values();
  EXPECT_TRUE(plug.SelectProgram(4));
  EXPECT_STREQ(plug.GetProgramName(4), "user preset 1");
  EXPECT_EQ(plug.GetCurrentProgram(), 4);
  EXPECT_EQ(plug.Values(), before);
  EXPECT_TRUE(plug.GetProgram(4)->used);
  EXPECT_EQ(plug.GetProgram(4)->state.Size(), 0);

  EXPECT_TRUE(plug.SelectProgram(2));
  EXPECT_STREQ(plug.GetProgramName(2), "user preset 2");
  // Selecting a user preset again reads its empty state: nothing changes.
  EXPECT_FALSE(plug.SelectProgram(4));
  EXPECT_STREQ(plug.GetProgramName(4), "user preset 1");
  EXPECT_EQ(plug.Values(), before);
}

TEST_F(ProgramSelection, OutOfRangeIndexIsRefused)
{
  for (int index : {-1, TestPlug::kNumPrograms, 1 << 30})
  {
    EXPECT_FALSE(plug.SelectProgram(index));
    EXPECT_EQ(plug.GetCurrentProgram(), 0);
  }
}

TEST(IPlugBase, AttachEditorMirrorsNormalizedValuesAndCreatesTheCanvas)
{
  int destroyed = 0;
  {
    TestPlug plug;
    plug.GetParam(0)->SetValue(5000.75);
    auto* editor = new FakeEditor(&destroyed);
    plug.AttachEditor(editor);
    EXPECT_EQ(plug.GetEditor(), editor);
    EXPECT_EQ(editor->canvases, 1);
    ASSERT_EQ(editor->mirrors.size(), 12u);
    EXPECT_TRUE(editor->mirrors[0].normalized);
    EXPECT_DOUBLE_EQ(editor->mirrors[0].value, 0.5);
    EXPECT_EQ(editor->mirrors[11].paramIdx, 11);

    // A second editor replaces and deletes the first.
    plug.AttachEditor(new FakeEditor(&destroyed));
    EXPECT_EQ(destroyed, 1);
  }
  EXPECT_EQ(destroyed, 2);
}

TEST(IPlugBase, SetParameterFromEditorSetsReportsAndApplies)
{
  TestPlug plug;
  plug.SetParameterFromEditor(1, 0.905);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 91.0);
  ASSERT_EQ(plug.edits.size(), 1u);
  EXPECT_EQ(plug.edits[0].what, 'p');
  EXPECT_EQ(plug.edits[0].paramIdx, 1);
  EXPECT_EQ(plug.edits[0].normalized, 0.905);
  EXPECT_EQ(plug.changes, std::vector<int>{1});

  // Values outside 0..1 reach neither the parameter nor the host unclamped.
  plug.SetParameterFromEditor(3, 7.0);
  EXPECT_EQ(plug.GetParam(3)->GetValue(), 100.0);
  EXPECT_EQ(plug.edits.back().normalized, 1.0);
  plug.SetParameterFromEditor(3, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(plug.GetParam(3)->GetValue(), 0.0);
  EXPECT_EQ(plug.edits.back().normalized, 0.0);

  // Bad indices are ignored.
  plug.edits.clear();
  plug.changes.clear();
  plug.SetParameterFromEditor(12, 0.5);
  plug.SetParameterFromEditor(-1, 0.5);
  EXPECT_TRUE(plug.edits.empty());
  EXPECT_TRUE(plug.changes.empty());
}

class DeferredEndEdit : public ::testing::Test
{
protected:
  void SetUp() override { plug.AttachEditor(editor = new FakeEditor); }

  std::vector<int> Ends() const
  {
    std::vector<int> ends;
    for (const auto& e : plug.edits)
      if (e.what == 'e')
        ends.push_back(e.paramIdx);
    return ends;
  }

  TestPlug plug;
  FakeEditor* editor = nullptr;
};

TEST_F(DeferredEndEdit, EndReachesTheHostWhenTheCountdownExpires)
{
  plug.DeferHostEndEdit(3);
  EXPECT_EQ(editor->timerTicks, 12);
  EXPECT_EQ(plug.GetPendingEndEdit(), 3);
  EXPECT_TRUE(Ends().empty());

  plug.FlushHostEndEdit();
  EXPECT_EQ(Ends(), std::vector<int>{3});
  EXPECT_EQ(editor->timerTicks, 0);
  EXPECT_EQ(plug.GetPendingEndEdit(), -1);

  // A flush with nothing pending sends nothing.
  plug.FlushHostEndEdit();
  EXPECT_EQ(Ends(), std::vector<int>{3});
}

TEST_F(DeferredEndEdit, RepeatedDeferralSendsOneEnd)
{
  plug.DeferHostEndEdit(3);
  plug.DeferHostEndEdit(3);
  EXPECT_EQ(editor->timerStarts, 2);
  EXPECT_TRUE(Ends().empty());
  plug.FlushHostEndEdit();
  EXPECT_EQ(Ends(), std::vector<int>{3});
}

TEST_F(DeferredEndEdit, AnotherParameterEndsThePendingOneAtOnce)
{
  plug.DeferHostEndEdit(3);
  plug.DeferHostEndEdit(5);
  EXPECT_EQ(Ends(), std::vector<int>{3});
  plug.FlushHostEndEdit();
  EXPECT_EQ(Ends(), (std::vector<int>{3, 5}));
}

TEST_F(DeferredEndEdit, CountdownFollowsTheFrameRate)
{
  const struct
  {
    int frameRate;
    int ticks;
  } cases[] = {{24, 12}, {25, 12}, {3, 1}, {1, 1}, {0, 1}};
  for (const auto& c : cases)
  {
    editor->frameRate = c.frameRate;
    plug.DeferHostEndEdit(0);
    EXPECT_EQ(editor->timerTicks, c.ticks) << c.frameRate;
  }
}

TEST_F(DeferredEndEdit, ReplacingTheEditorSendsThePendingEnd)
{
  plug.DeferHostEndEdit(6);
  plug.AttachEditor(new FakeEditor);
  EXPECT_EQ(Ends(), std::vector<int>{6});
  EXPECT_EQ(plug.GetPendingEndEdit(), -1);
}

TEST(IPlugBase, DeferHostEndEditWithoutEditorEndsAtOnce)
{
  TestPlug plug;
  plug.DeferHostEndEdit(4);
  ASSERT_EQ(plug.edits.size(), 1u);
  EXPECT_EQ(plug.edits[0].what, 'e');
  EXPECT_EQ(plug.edits[0].paramIdx, 4);
  EXPECT_EQ(plug.GetPendingEndEdit(), -1);
}

TEST(IPlugBase, SendMidiEventsIsTheAndOfEverySend)
{
  struct Sender : TestPlug
  {
    bool SendMidiEvent(const IMidiEvent& e) override
    {
      sent.push_back(e.NoteNumber());
      return e.NoteNumber() != 61;
    }
    std::vector<int> sent;
  } plug;
  IMidiEvent events[3];
  events[0].MakeNoteOnMsg(60, 100, 0);
  events[1].MakeNoteOnMsg(61, 100, 0);
  events[2].MakeNoteOnMsg(62, 100, 0);
  EXPECT_FALSE(plug.SendMidiEvents(events, 3));
  EXPECT_EQ(plug.sent, (std::vector<int>{60, 61, 62}));
  EXPECT_TRUE(plug.SendMidiEvents(events, 1));
  EXPECT_TRUE(plug.SendMidiEvents(nullptr, 3));

  TestPlug quiet;
  EXPECT_FALSE(quiet.SendMidiEvents(events, 1));
}
