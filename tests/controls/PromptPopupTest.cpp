// The value popup: its size for short and long lists, its place near the
// editor's edges, scrolling, and the one host edit a choice makes.

#include <gtest/gtest.h>

#include "controls/ISwitchLbl.h"
#include "controls/PromptPopup.h"
#include "tests/graphics/GuiTestSupport.h"

using namespace guitest;

namespace
{
class Opener : public ISwitchLbl
{
public:
  Opener(IPlugBase* plug, int param, int x, int y, const IImage& strip)
    : ISwitchLbl(plug, param, x, y, strip, ITextStyle("Arial", 0, IArgb(0, 0, 0, 0)), false, 0, 0.2f)
  {
  }
  void PopupChoice(const char* text, int index) override
  {
    choices.push_back(text);
    indices.push_back(index);
  }
  std::vector<std::string> choices;
  std::vector<int> indices;
};

class Popup : public ::testing::Test
{
protected:
  // An opener (40 x 20) bound to param at (x, y), right-clicked open.
  Opener* OpenAt(int param, int x, int y)
  {
    auto* opener = new Opener(gui.plug.get(), param, x, y, gui.g->FetchImage(kImgStripH, "strip.png", 2));
    gui.g->AddControl(opener);
    gui.g->PointerDown(x + 5, y + 5, Right());
    gui.g->PointerUp(x + 5, y + 5, Right());
    popup = gui.g->OpenPopupControl();
    return opener;
  }
  void Click(int x, int y, IPointerMods mods = Left())
  {
    gui.g->PointerHover(x, y, IPointerMods());
    gui.g->PointerDown(x, y, mods);
    gui.g->PointerUp(x, y, mods);
  }

  void SetUp() override
  {
    gui.WithBackdrop();
    gui.g->EnableHover(true);
  }
  Gui gui;  // 200 x 150
  PromptPopup* popup = nullptr;
};
}  // namespace

TEST_F(Popup, FourEntriesFitWithoutScrollBar)
{
  Opener* opener = OpenAt(kWave, 80, 60);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(gui.g->GetControl(gui.g->NControls() - 1), popup);
  EXPECT_FALSE(popup->IsHidden());
  EXPECT_EQ(popup->Owner(), opener);
  EXPECT_EQ(popup->ThumbHeight(), 0);
  EXPECT_EQ(popup->RowHeight(), 21);
  // "Triangle": 8 characters x 7 + 2 x 4 + 20 = 84 wide cells, plus the inset.
  EXPECT_EQ(popup->CellWidth(), 84);
  EXPECT_EQ(popup->Bounds(), IBounds(56, 28, 144, 112));  // centred over the opener
  EXPECT_EQ(popup->CurrentEntry(), 0);
  EXPECT_DOUBLE_EQ(opener->GetValue(), 0.0);  // the right click did not step it
  EXPECT_TRUE(gui.g->PaintPass(IBounds(0, 0, 200, 150)));
}

TEST_F(Popup, TwelveEntriesScrollWithTheCurrentOneInTheMiddle)
{
  gui.plug->GetParam(kMany)->SetValue(6.0);
  OpenAt(kMany, 80, 60);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->Rows(), 6);  // a row more from the tenth entry
  EXPECT_EQ(popup->Capacity(), 6);
  EXPECT_EQ(popup->ThumbHeight(), 94);
  EXPECT_EQ(popup->Bounds().W(), 84 + 4 + 9 + 2);
  EXPECT_EQ(popup->Bounds().H(), 126);
  EXPECT_EQ(popup->ScrollPosition(), 20);
  EXPECT_EQ(popup->FirstVisible(), 4);  // entries 4..9 visible, 6 in the third of six rows

  // The wheel scrolls 3 pixels a step and stops at both ends.
  gui.g->PointerWheel(popup->Bounds().left + 10, popup->Bounds().top + 10, IPointerMods(), 1);
  EXPECT_EQ(popup->ScrollPosition(), 17);
  gui.g->PointerWheel(popup->Bounds().left + 10, popup->Bounds().top + 10, IPointerMods(), 100);
  EXPECT_EQ(popup->ScrollPosition(), 0);
  gui.g->PointerWheel(popup->Bounds().left + 10, popup->Bounds().top + 10, IPointerMods(), -100);
  EXPECT_EQ(popup->ScrollPosition(), 30);
  EXPECT_EQ(popup->FirstVisible(), 6);

  // Dragging the thumb moves it by the pointer's movement.
  const int x = popup->Bounds().right - 5;
  const int thumbTop = popup->Bounds().top + popup->ScrollPosition() + 1;
  gui.g->PointerDown(x, thumbTop + 5, Left());
  gui.g->PointerDrag(x, thumbTop - 15, Left());
  EXPECT_EQ(popup->ScrollPosition(), 10);
  gui.g->PointerUp(x, thumbTop - 15, Left());
  // A press on the track above the thumb centres the thumb there, within limits.
  gui.g->PointerDown(x, popup->Bounds().top + 2, Left());
  EXPECT_EQ(popup->ScrollPosition(), 0);
  gui.g->PointerUp(x, popup->Bounds().top + 2, Left());
  EXPECT_EQ(gui.g->OpenPopupControl(), popup);  // still open
  EXPECT_TRUE(gui.g->PaintPass(IBounds(0, 0, 200, 150)));
}

TEST_F(Popup, StaysSixPixelsInsideTheEditor)
{
  struct Case
  {
    int x, y;
    IBounds expected;
  } cases[] = {
    {0, 0, IBounds(6, 6, 94, 90)},
    {160, 130, IBounds(106, 60, 194, 144)},
    {-500, 900, IBounds(6, 60, 94, 144)},
  };
  for (const Case& c : cases)
  {
    auto* opener = new Opener(gui.plug.get(), kWave, c.x, c.y, gui.g->FetchImage(kImgStripH, "strip.png", 2));
    gui.g->AddControl(opener);
    gui.g->OpenPopup(opener);
    ASSERT_NE(gui.g->OpenPopupControl(), nullptr);
    EXPECT_EQ(gui.g->OpenPopupControl()->Bounds(), c.expected) << c.x << "," << c.y;
    EXPECT_EQ(gui.g->OpenPopupControl()->HitBounds(), c.expected);
    gui.g->ClosePopup(false);
    EXPECT_EQ(opener->indices, std::vector<int>{-1});
  }
}

TEST_F(Popup, AChoiceIsOneBeginValueEnd)
{
  Opener* opener = OpenAt(kWave, 80, 60);
  ASSERT_NE(popup, nullptr);
  const int controls = gui.g->NControls();
  gui.plug->edits.clear();
  Click(100, popup->Bounds().top + 2 * 21 + 10);  // "Saw"
  ASSERT_EQ(gui.plug->Kinds(), "bpe");
  EXPECT_EQ(gui.plug->edits[0].param, kWave);
  EXPECT_NEAR(gui.plug->edits[1].value, 2.0 / 3.0, 1e-12);
  EXPECT_EQ(gui.plug->GetParam(kWave)->GetValue(), 2.0);
  EXPECT_NEAR(opener->GetValue(), 2.0 / 3.0, 1e-12);
  EXPECT_EQ(opener->choices, std::vector<std::string>{"Saw"});
  EXPECT_EQ(gui.g->OpenPopupControl(), nullptr);
  EXPECT_EQ(gui.g->NControls(), controls - 1);
  EXPECT_EQ(gui.g->HoverIndex(), -1);
  IBounds region;
  ASSERT_TRUE(gui.g->CollectChanges(region));  // the whole editor repaints
  EXPECT_EQ(region, IBounds(0, 0, 200, 150));
}

TEST_F(Popup, PressesThatChooseNothing)
{
  Opener* opener = OpenAt(kWave, 80, 60);
  ASSERT_NE(popup, nullptr);
  gui.plug->edits.clear();
  const IBounds b = popup->Bounds();
  Click(100, b.top + 10, Right());   // right presses never choose
  Click(100, b.bottom, Left());      // the bottom edge row holds no entry
  EXPECT_EQ(gui.g->OpenPopupControl(), popup);
  EXPECT_TRUE(gui.plug->edits.empty());

  // A press elsewhere closes it without a choice and still reaches its control.
  gui.g->PointerDown(5, 5, Left());
  gui.g->PointerUp(5, 5, Left());
  EXPECT_EQ(gui.g->OpenPopupControl(), nullptr);
  EXPECT_EQ(opener->indices, std::vector<int>{-1});
  EXPECT_EQ(opener->choices, std::vector<std::string>{""});

  // A right press on another list control closes the popup and opens no new one.
  auto* other = new Opener(gui.plug.get(), kToggle, 150, 120, gui.g->FetchImage(kImgStripH, "strip.png", 2));
  gui.g->AddControl(other);
  Opener* second = OpenAt(kWave, 80, 60);
  ASSERT_NE(popup, nullptr);
  gui.g->PointerDown(155, 125, Right());
  EXPECT_EQ(gui.g->OpenPopupControl(), nullptr);
  gui.g->PointerUp(155, 125, Right());
  EXPECT_EQ(second->indices, std::vector<int>{-1});
  EXPECT_TRUE(other->indices.empty());
  EXPECT_DOUBLE_EQ(other->GetValue(), 0.0);
}

TEST_F(Popup, OtherEventsWhileOpenLeaveItAlone)
{
  auto* other = new Opener(gui.plug.get(), kToggle, 150, 120, gui.g->FetchImage(kImgStripH, "strip.png", 2));
  gui.g->AddControl(other);
  Opener* opener = OpenAt(kWave, 80, 60);
  ASSERT_NE(popup, nullptr);
  gui.plug->edits.clear();
  gui.g->PointerWheel(155, 125, IPointerMods(), 1);  // switches ignore the wheel
  gui.g->KeyPressed(100, 70, 3);
  gui.g->PointerDrag(100, 70, Left());  // nothing captured
  gui.g->PointerDoubleClick(155, 125, Left());
  gui.g->PointerUp(155, 125, Left());
  gui.g->MirrorParameter(kWave, 1.0, true);
  gui.g->PointerHover(100, 70, IPointerMods());
  EXPECT_EQ(gui.g->OpenPopupControl(), popup);
  EXPECT_TRUE(gui.g->PaintPass(IBounds(0, 0, 200, 150)));
  EXPECT_DOUBLE_EQ(opener->GetValue(), 1.0);
  EXPECT_EQ(gui.plug->Kinds(), "bbe");  // wheel and double click begin; their ends close them
  for (int i = 0; i < 12; ++i) gui.g->Tick();
  EXPECT_EQ(gui.plug->Kinds(), "bbee");
  EXPECT_TRUE(opener->indices.empty());
}

TEST_F(Popup, HoverTracksTheCellUnderThePointer)
{
  OpenAt(kWave, 80, 60);
  ASSERT_NE(popup, nullptr);
  const IBounds b = popup->Bounds();
  gui.g->PointerHover(100, b.top + 21 + 3, IPointerMods());
  EXPECT_EQ(popup->HoveredCell(), 1);
  gui.g->PointerHover(100, b.top + 3 * 21 + 3, IPointerMods());
  EXPECT_EQ(popup->HoveredCell(), 3);
  gui.g->PointerLeave();
  EXPECT_EQ(popup->HoveredCell(), -2);
}

TEST(PromptPopupAlone, TextsAreCutAndSizesGrow)
{
  FakePlug plug;
  PromptPopup popup(&plug, 10, 20, 70, 1);
  EXPECT_EQ(popup.Bounds(), IBounds(10, 20, 80, 50));
  popup.AddItem("This text is far longer than thirty-one characters");
  EXPECT_STREQ(popup.Entry(0), "This text is far longer than th");
  EXPECT_EQ(popup.CellWidth(), 31 * 7 + 28);
  popup.AddItem(nullptr);
  EXPECT_STREQ(popup.Entry(1), "");
  EXPECT_STREQ(popup.Entry(7), "");
  for (int i = 0; i < 40; ++i) popup.AddItem("x");
  EXPECT_EQ(popup.Rows(), 9);  // grew at the 10th, 20th, 30th and 40th entries
  EXPECT_EQ(popup.ThumbHeight(), 31);  // 1.5 rows once four times the rows are exceeded
  popup.AttachTo(kNumParams + 1, nullptr);  // no such parameter
  EXPECT_EQ(popup.CurrentEntry(), -1);
  popup.PressAt(20, 25, Left());  // no editor, no owner: choosing only records the entry
  EXPECT_EQ(popup.CurrentEntry(), 0);
}

TEST(PromptPopupAlone, ColumnsAndCellsPastTheEntries)
{
  FakePlug plug;
  PromptPopup popup(&plug, 10, 20, 70, 2);
  for (const char* t : {"a", "b", "c", "d", "e"}) popup.AddItem(t);
  EXPECT_EQ(popup.Bounds(), IBounds(10, 20, 10 + 2 * 70 + 4, 20 + 3 * 21));
  popup.PointerEnter(30, 20 + 2 * 21 + 5, IPointerMods());
  EXPECT_EQ(popup.HoveredCell(), 4);
  popup.PointerEnter(92, 20 + 2 * 21 + 5, IPointerMods());
  EXPECT_EQ(popup.HoveredCell(), -1);  // beside the last entry: nothing to choose
  popup.PressAt(92, 20 + 2 * 21 + 5, Left());
  EXPECT_EQ(popup.CurrentEntry(), -1);
  popup.PressAt(92, 20 + 5, Left());
  EXPECT_EQ(popup.CurrentEntry(), 1);
}
