// The editor view of a plug-in without an editor window: creation, the list
// of open views, reference counting and the answers for that case.
#include <cstring>

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
