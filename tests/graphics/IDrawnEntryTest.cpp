// The typed-entry box drawn into the canvas: what keys and clicks do to an
// edit field and to a drop-down list, where a list drops, and what is drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/IDrawnEntry.h"
#include "tests/graphics/GuiTestSupport.h"

using namespace guitest;
using Key = IDrawnEntry::Key;

namespace
{
IGraphicsPlatform::IEditBox Field(const char* text)
{
  IGraphicsPlatform::IEditBox box;
  box.rect = IBounds(84, 67, 116, 83);
  box.text = text;
  return box;
}

IGraphicsPlatform::IEditBox List(int top, int selection)
{
  IGraphicsPlatform::IEditBox box;
  box.list = true;
  box.rect = IBounds(60, top, 148, top + 36 * 4 + 36);
  box.selection = selection;
  box.text = selection >= 0 ? "Triangle" : "";
  return box;
}

const std::vector<std::string> kWaves = {"Sine", "Triangle", "Saw", "Square"};

struct Press
{
  Key key;
  char character;
};
}  // namespace

TEST(DrawnEntry, EditFieldKeys)
{
  struct Case
  {
    const char* name;
    std::vector<Press> keys;
    const char* text;
    int caret;
    IDrawnEntry::Outcome last;
  };
  const Case cases[] = {
      {"typing replaces the selection", {{Key::KeyCharacter, '5'}, {Key::KeyCharacter, '0'}}, "50", 2, IDrawnEntry::Changed},
      {"backspace clears the selection", {{Key::KeyBackspace, 0}}, "", 0, IDrawnEntry::Changed},
      {"end then backspace", {{Key::KeyEnd, 0}, {Key::KeyBackspace, 0}}, "9", 1, IDrawnEntry::Changed},
      {"home then delete", {{Key::KeyHome, 0}, {Key::KeyDelete, 0}}, "0", 0, IDrawnEntry::Changed},
      {"left drops the selection at the start", {{Key::KeyLeft, 0}, {Key::KeyBackspace, 0}}, "90", 0, IDrawnEntry::Unchanged},
      {"insert in the middle", {{Key::KeyHome, 0}, {Key::KeyRight, 0}, {Key::KeyCharacter, '.'}}, "9.0", 2, IDrawnEntry::Changed},
      {"delete at the end", {{Key::KeyEnd, 0}, {Key::KeyDelete, 0}}, "90", 2, IDrawnEntry::Unchanged},
      {"control characters are not text", {{Key::KeyEnd, 0}, {Key::KeyCharacter, '\t'}}, "90", 2, IDrawnEntry::Unchanged},
      {"up and down do nothing", {{Key::KeyUp, 0}, {Key::KeyDown, 0}}, "90", 2, IDrawnEntry::Unchanged},
      {"enter commits", {{Key::KeyCharacter, '7'}, {Key::KeyEnter, 0}}, "7", 1, IDrawnEntry::Commit},
      {"escape cancels", {{Key::KeyCharacter, '7'}, {Key::KeyEscape, 0}}, "7", 1, IDrawnEntry::Cancel},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    IDrawnEntry entry;
    entry.Open(Field("90"), {}, 200, 150);
    EXPECT_TRUE(entry.AllSelected());
    IDrawnEntry::Outcome last = IDrawnEntry::Ignored;
    for (const Press& p : c.keys) last = entry.KeyPressed(p.key, p.character);
    EXPECT_EQ(entry.Text(), c.text);
    EXPECT_EQ(entry.Caret(), c.caret);
    EXPECT_EQ(last, c.last);
  }
}

TEST(DrawnEntry, ListKeysCommitEveryMoveOfTheChoice)
{
  struct Case
  {
    const char* name;
    int selection;
    Press key;
    IDrawnEntry::Outcome outcome;
    int chosen;
  };
  const Case cases[] = {
      {"up", 1, {Key::KeyUp, 0}, IDrawnEntry::Commit, 0},
      {"up at the top", 0, {Key::KeyUp, 0}, IDrawnEntry::Unchanged, 0},
      {"down", 1, {Key::KeyDown, 0}, IDrawnEntry::Commit, 2},
      {"down at the bottom", 3, {Key::KeyDown, 0}, IDrawnEntry::Unchanged, 3},
      {"end", 1, {Key::KeyEnd, 0}, IDrawnEntry::Commit, 3},
      {"home", 2, {Key::KeyHome, 0}, IDrawnEntry::Commit, 0},
      {"next entry by its letter", 1, {Key::KeyCharacter, 's'}, IDrawnEntry::Commit, 2},
      {"the letter wraps around", 3, {Key::KeyCharacter, 'S'}, IDrawnEntry::Commit, 0},
      {"no entry has the letter", 1, {Key::KeyCharacter, 'x'}, IDrawnEntry::Unchanged, 1},
      {"down without a choice takes the first", -1, {Key::KeyDown, 0}, IDrawnEntry::Commit, 0},
      {"enter keeps the choice", 2, {Key::KeyEnter, 0}, IDrawnEntry::Commit, 2},
      {"escape", 2, {Key::KeyEscape, 0}, IDrawnEntry::Cancel, 2},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    IDrawnEntry entry;
    entry.Open(List(10, c.selection), kWaves, 200, 400);
    EXPECT_EQ(entry.KeyPressed(c.key.key, c.key.character), c.outcome);
    EXPECT_EQ(entry.Selection(), c.chosen);
    if (c.outcome == IDrawnEntry::Commit && c.key.key != Key::KeyEnter)
    {
      EXPECT_EQ(entry.Text(), kWaves[static_cast<size_t>(c.chosen)]);
    }
  }
}

TEST(DrawnEntry, ListDropsWhereItFitsAndTakesClicksOnItsEntries)
{
  Gui gui(200, 150);
  const int rows = IDrawnEntry::kRowHeight * 4 + 2;
  IDrawnEntry below;
  below.Open(List(10, 1), kWaves, 200, 150);
  EXPECT_EQ(below.Covered(), IBounds(60, 10, 148, 10 + IDrawnEntry::kFieldHeight + rows));
  // Near the bottom the entries go above the field.
  IDrawnEntry above;
  above.Open(List(120, 1), kWaves, 200, 150);
  EXPECT_EQ(above.Covered(), IBounds(60, 120 - rows, 148, 120 + IDrawnEntry::kFieldHeight));

  const int firstRow = 10 + IDrawnEntry::kFieldHeight + 1;
  EXPECT_EQ(below.Click(*gui.g, 70, 15), IDrawnEntry::Unchanged);  // the closed field
  EXPECT_EQ(below.Click(*gui.g, 20, 15), IDrawnEntry::Ignored);    // beside the box
  EXPECT_EQ(below.Click(*gui.g, 70, firstRow + 2 * IDrawnEntry::kRowHeight + 5), IDrawnEntry::Commit);
  EXPECT_EQ(below.Text(), "Saw");
  EXPECT_EQ(above.Click(*gui.g, 70, 120 - rows + 1 + 5), IDrawnEntry::Commit);
  EXPECT_EQ(above.Text(), "Sine");
}

TEST(DrawnEntry, EditFieldClicksPlaceTheCaretAndItIsDrawnOverTheCanvas)
{
  Gui gui(200, 150);
  gui.WithBackdrop();
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  IDrawnEntry entry;
  entry.Open(Field("1234"), {}, 200, 150);
  EXPECT_EQ(entry.Click(*gui.g, 84, 75), IDrawnEntry::Changed);  // far left: before the text
  EXPECT_EQ(entry.Caret(), 0);
  EXPECT_FALSE(entry.AllSelected());
  EXPECT_EQ(entry.Click(*gui.g, 115, 75), IDrawnEntry::Changed);  // far right: after it
  EXPECT_EQ(entry.Caret(), 4);
  EXPECT_EQ(entry.Click(*gui.g, 115, 75), IDrawnEntry::Unchanged);
  EXPECT_EQ(entry.Click(*gui.g, 120, 75), IDrawnEntry::Ignored);

  entry.Draw(*gui.g);
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 84, 67), 0xFF7A7A7Au);  // border
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 86, 69), 0xFFFFFFFFu);  // paper
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 80, 75), 0xFF404040u);  // the canvas beside it
  int ink = 0;
  for (int y = 68; y < 82; ++y)
    for (int x = 85; x < 115; ++x) ink += PixelAt(gui.g->Canvas(), x, y) != 0xFFFFFFFFu;
  EXPECT_GT(ink, 20);  // the text and the caret
}
