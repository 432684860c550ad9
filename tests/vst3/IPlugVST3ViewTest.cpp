// The editor view: creation, the list of open views, reference counting,
// the answers without an editor, and which parent windows an editor accepts.
#include <cstring>

#include "graphics/IGraphicsPlatform.h"
#include "tests/vst3/BindingFixture.h"
#include "vst3/IPlugVST3View.h"
#include "vst3/sdk/IPlugView.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
class View : public BindingFixture
{
};

TEST_F(View, CreateViewOnlyForTheEditorName)
{
  const char* refused[] = {nullptr, "", "Editor", "editor ", "edit", "view"};
  for (const char* name : refused)
    EXPECT_EQ(controller->createView(name), nullptr) << (name ? name : "(null)");
  EXPECT_EQ(synth->NViews(), 0);
}

TEST_F(View, ViewsAreListedWhileAliveAndHoldThePlugIn)
{
  const uint32 before = synth->getRefCount();
  IPlugView* first = controller->createView("editor");
  IPlugView* second = controller->createView("editor");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  ASSERT_EQ(synth->NViews(), 2);
  EXPECT_EQ(static_cast<IPlugView*>(synth->GetView(0)), first);
  EXPECT_EQ(static_cast<IPlugView*>(synth->GetView(1)), second);
  EXPECT_EQ(synth->getRefCount(), before + 2);

  first->addRef();
  EXPECT_EQ(first->release(), 1u);
  EXPECT_EQ(first->release(), 0u);
  ASSERT_EQ(synth->NViews(), 1);
  EXPECT_EQ(static_cast<IPlugView*>(synth->GetView(0)), second);
  second->release();
  EXPECT_EQ(synth->NViews(), 0);
  EXPECT_EQ(synth->getRefCount(), before);
}

TEST_F(View, WithoutAnEditorTheViewDeclines)
{
  IPtr<IPlugView> view = IPtr<IPlugView>::adopt(controller->createView("editor"));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
  ViewRect rect;
  EXPECT_EQ(view->getSize(&rect), kResultFalse);
  int parent = 0;
  EXPECT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(view->onSize(nullptr), kResultOk);
  ViewRect size(0, 0, 300, 200);
  EXPECT_EQ(view->onSize(&size), kResultOk);
  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(view->checkSizeConstraint(&size), kResultFalse);
  EXPECT_EQ(view->onWheel(1.0f), kResultFalse);
  EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse);
  EXPECT_EQ(view->onFocus(1), kResultFalse);
  EXPECT_EQ(view->setFrame(nullptr), kResultOk);

  void* answer = nullptr;
  ASSERT_EQ(view->queryInterface(IPlugView::iid, &answer), kResultOk);
  static_cast<IPlugView*>(answer)->release();
}

// An editor that opens in one kind of parent window, or fails to.
class StubEditor : public IGraphicsPlatform
{
public:
  StubEditor(IPlugBase* plug, const char* type, bool opens) : IGraphicsPlatform(plug, 368, 370), type(type), opens(opens) {}
  const char* PlatformType() const override { return type; }
  void* OpenIn(void* parent) override
  {
    ++openings;
    window = opens ? parent : nullptr;
    return window;
  }
  void CloseNative() override { window = nullptr; }
  void* NativeWindow() override { return window; }

  const char* type;
  bool opens;
  void* window = nullptr;
  int openings = 0;
};

TEST_F(View, AttachesOnlyToTheEditorsOwnKindOfWindowAndReportsFailure)
{
  struct Case
  {
    const char* editorType;  // what the editor opens in; null: no window at all
    bool opens;              // whether its window can be made
    const char* offered;     // what the host offers
    tresult supported;
    tresult attached;
  };
  const Case cases[] = {
    {"HWND", true, kPlatformTypeHWND, kResultTrue, kResultOk},
    {"HWND", true, kPlatformTypeX11EmbedWindowID, kResultFalse, kResultFalse},
    {"HWND", true, "HWND ", kResultFalse, kResultFalse},
    {"HWND", true, nullptr, kResultFalse, kResultFalse},
    {"HWND", false, kPlatformTypeHWND, kResultTrue, kResultFalse},
    {"X11EmbedWindowID", true, kPlatformTypeX11EmbedWindowID, kResultTrue, kResultOk},
    {"X11EmbedWindowID", true, kPlatformTypeHWND, kResultFalse, kResultFalse},
    {nullptr, true, kPlatformTypeHWND, kResultFalse, kResultFalse},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(std::string(c.editorType ? c.editorType : "(none)") + " offered " + (c.offered ? c.offered : "(null)"));
    auto* editor = new StubEditor(synth.get(), c.editorType, c.opens);
    synth->AttachEditor(editor);
    IPtr<IPlugView> view = IPtr<IPlugView>::adopt(controller->createView("editor"));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->isPlatformTypeSupported(c.offered), c.supported);
    int parent = 0;
    EXPECT_EQ(view->attached(&parent, c.offered), c.attached);
    // The window is only asked for when the host offered the right kind.
    const bool rightKind = c.supported == kResultTrue;
    EXPECT_EQ(editor->openings, rightKind ? 1 : 0);
    EXPECT_EQ(editor->window != nullptr, c.attached == kResultOk);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(editor->window, nullptr);
  }
}

TEST_F(View, TerminateForgetsTheViews)
{
  IPtr<IPlugView> view = IPtr<IPlugView>::adopt(controller->createView("editor"));
  ASSERT_EQ(synth->NViews(), 1);
  component->terminate();
  EXPECT_EQ(synth->NViews(), 0);
  component->initialize(Context());
}

TEST_F(View, ContextMenuGoesToTheFirstView)
{
  controller->setComponentHandler(&handler);
  synth->PopupHostContextMenu(2, 10, 10);  // no view open: nothing asked
  IPtr<IPlugView> view = IPtr<IPlugView>::adopt(controller->createView("editor"));
  synth->PopupHostContextMenu(2, 10, 10);
  EXPECT_EQ(handler.log, "menu 2;");
}
}  // namespace
