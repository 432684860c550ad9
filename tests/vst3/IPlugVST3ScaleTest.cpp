// The view's content scale (IPlugViewContentScaleSupport): which factors it
// takes, the size it reports, and the resizeView / onSize exchange with the
// host's frame before and after the view is attached.
#include <cmath>
#include <vector>

#include "graphics/IGraphicsPlatform.h"
#include "tests/vst3/BindingFixture.h"
#include "tests/vst3/TestHostObjects.h"
#include "vst3/IPlugVST3View.h"
#include "vst3/sdk/IPlugView.h"

using namespace Steinberg;

namespace
{
// An editor whose window always opens, with a system scale to offer.
class ScaledStub : public IGraphicsPlatform
{
public:
  explicit ScaledStub(IPlugBase* plug) : IGraphicsPlatform(plug, 368, 370) {}
  const char* PlatformType() const override { return "HWND"; }
  void* OpenIn(void* parent) override { return window = parent; }
  void CloseNative() override { window = nullptr; }
  void* NativeWindow() override { return window; }
  float SystemScale() override { return system; }

  void* window = nullptr;
  float system = 0.0f;
};

// A frame that answers resizeView with onSize at once, leaves the answer for
// later, or refuses.
class Frame final : public TestHost::Unowned<IPlugFrame>
{
public:
  enum Answer { kAtOnce, kLater, kRefuse };
  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* size) override
  {
    asked.push_back(*size);
    if (answer == kRefuse) return kResultFalse;
    if (answer == kAtOnce)
    {
      ViewRect given(0, 0, size->getWidth(), size->getHeight());
      view->onSize(&given);
    }
    return kResultTrue;
  }
  Answer answer = kAtOnce;
  std::vector<ViewRect> asked;
};

class ViewScale : public BindingFixture
{
protected:
  void SetUp() override
  {
    BindingFixture::SetUp();
    editor = new ScaledStub(synth.get());
    synth->AttachEditor(editor);
    view = IPtr<IPlugView>::adopt(controller->createView("editor"));
    ASSERT_TRUE(view);
    scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view.get());
    ASSERT_TRUE(scaling);
  }
  void TearDown() override
  {
    view->removed();
    view->setFrame(nullptr);
    scaling = nullptr;
    view = nullptr;
    BindingFixture::TearDown();
  }
  ViewRect Size()
  {
    ViewRect r;
    EXPECT_EQ(view->getSize(&r), kResultOk);
    return r;
  }
  void Attach()
  {
    ASSERT_EQ(view->setFrame(&frame), kResultOk);
    ASSERT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultOk);
  }

  ScaledStub* editor = nullptr;
  IPtr<IPlugView> view;
  IPtr<IPlugViewContentScaleSupport> scaling;
  Frame frame;
  int parent = 0;
};

TEST_F(ViewScale, FactorsAreClampedAndNonsenseRefusedOnAViewNeverAttached)
{
  struct Case
  {
    float factor;
    tresult result;
    int width, height;  // what getSize reports afterwards
  };
  const Case cases[] = {
    {2.0f, kResultTrue, 736, 740},   {0.0f, kResultFalse, 736, 740}, {-1.0f, kResultFalse, 736, 740},
    {NAN, kResultFalse, 736, 740},   {100.0f, kResultTrue, 1472, 1480}, {1.5f, kResultTrue, 552, 555},
    {0.25f, kResultTrue, 368, 370},  {INFINITY, kResultFalse, 368, 370}, {1.25f, kResultTrue, 460, 463},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.factor);
    EXPECT_EQ(scaling->setContentScaleFactor(c.factor), c.result);
    const ViewRect r = Size();
    EXPECT_EQ(r.getWidth(), c.width);
    EXPECT_EQ(r.getHeight(), c.height);
    EXPECT_EQ(editor->ScaledWidth(), c.width);
  }
  EXPECT_TRUE(frame.asked.empty());
}

TEST_F(ViewScale, BeforeAttachedTheWindowOpensScaledWithoutAResize)
{
  ASSERT_EQ(view->setFrame(&frame), kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(Size().getWidth(), 736);
  ASSERT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultOk);
  EXPECT_TRUE(frame.asked.empty());
  EXPECT_EQ(editor->Scale(), 2.0f);
}

TEST_F(ViewScale, AttachedTheViewAsksToBeResizedAndScalesInOnSize)
{
  Attach();
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
  ASSERT_EQ(frame.asked.size(), 1u);
  EXPECT_EQ(frame.asked[0].getWidth(), 736);
  EXPECT_EQ(frame.asked[0].getHeight(), 740);
  EXPECT_EQ(editor->Scale(), 2.0f);
  // The same factor again asks for nothing; a new one resizes once.
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(frame.asked.size(), 1u);
  EXPECT_EQ(scaling->setContentScaleFactor(3.0f), kResultTrue);
  ASSERT_EQ(frame.asked.size(), 2u);
  EXPECT_EQ(frame.asked[1].getWidth(), 1104);
  EXPECT_EQ(editor->Scale(), 3.0f);
}

TEST_F(ViewScale, AHostThatAnswersLaterGetsTheNewSizeAndTheScaleWithItsOnSize)
{
  frame.answer = Frame::kLater;
  Attach();
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
  EXPECT_EQ(editor->Scale(), 1.0f);
  EXPECT_EQ(Size().getWidth(), 736);
  // An onSize of another size is not the answer.
  ViewRect other(0, 0, 500, 500);
  view->onSize(&other);
  EXPECT_EQ(editor->Scale(), 1.0f);
  ViewRect answer(0, 0, 736, 740);
  view->onSize(&answer);
  EXPECT_EQ(editor->Scale(), 2.0f);
}

TEST_F(ViewScale, RemovedBeforeTheHostAnsweredTheViewOpensAtTheNewFactor)
{
  frame.answer = Frame::kLater;
  Attach();
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(editor->Scale(), 1.5f);
  EXPECT_EQ(Size().getWidth(), 552);
  // A late onSize of the old request changes nothing.
  ViewRect late(0, 0, 552, 555);
  view->onSize(&late);
  EXPECT_EQ(editor->Scale(), 1.5f);
}

TEST_F(ViewScale, AFrameThatRefusesKeepsTheOldFactor)
{
  frame.answer = Frame::kRefuse;
  Attach();
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultFalse);
  EXPECT_EQ(editor->Scale(), 1.0f);
  EXPECT_EQ(Size().getWidth(), 368);
}

TEST_F(ViewScale, WithoutTheHostsFactorTheWindowTakesTheSystemsAndAsksToBeResized)
{
  editor->system = 1.5f;
  Attach();
  ASSERT_EQ(frame.asked.size(), 1u);
  EXPECT_EQ(frame.asked[0].getWidth(), 552);
  EXPECT_EQ(editor->Scale(), 1.5f);

  // Once the host has told its factor, the system's no longer counts.
  view->removed();
  EXPECT_EQ(scaling->setContentScaleFactor(1.0f), kResultTrue);
  ASSERT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultOk);
  EXPECT_EQ(editor->Scale(), 1.0f);
  EXPECT_EQ(frame.asked.size(), 1u);
}
}  // namespace
