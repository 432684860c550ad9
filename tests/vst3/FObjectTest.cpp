#include "vst3/sdk/CPluginView.h"
#include "vst3/sdk/FObject.h"
#include "vst3/sdk/IPtr.h"

#include <gtest/gtest.h>

using namespace Steinberg;

namespace {

class Tracked : public FObject {
public:
  explicit Tracked(bool& destroyed) : destroyed_(destroyed) {}
  ~Tracked() override { destroyed_ = true; }

private:
  bool& destroyed_;
};

TEST(FObject, CountStartsAtOneAndTheLastReleaseDestroys) {
  bool destroyed = false;
  auto* object = new Tracked(destroyed);
  EXPECT_EQ(object->getRefCount(), 1u);
  EXPECT_EQ(object->addRef(), 2u);
  EXPECT_EQ(object->release(), 1u);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(object->release(), 0u);
  EXPECT_TRUE(destroyed);
}

TEST(FObject, QueryInterfaceAnswersItsInterfacesWithAReference) {
  bool destroyed = false;
  auto object = IPtr<Tracked>::adopt(new Tracked(destroyed));
  const FUID* answered[] = {&FUnknown::iid, &IDependent::iid, &FObject::objectIid()};
  for (const FUID* iid : answered) {
    void* answer = nullptr;
    EXPECT_EQ(object->queryInterface(*iid, &answer), kResultOk);
    EXPECT_NE(answer, nullptr);
    EXPECT_EQ(object->getRefCount(), 2u);
    static_cast<FUnknown*>(static_cast<IDependent*>(object.get()))->release();
  }
  void* answer = &destroyed;
  EXPECT_EQ(object->queryInterface(IPlugView::iid, &answer), kNoInterface);
  EXPECT_EQ(answer, nullptr);
  EXPECT_EQ(object->getRefCount(), 1u);
}

TEST(FObject, CountedPointersKeepTheCountBalanced) {
  bool destroyed = false;
  auto* raw = new Tracked(destroyed);
  {
    auto owner = IPtr<Tracked>::adopt(raw);
    IPtr<Tracked> copy = owner;
    EXPECT_EQ(raw->getRefCount(), 2u);
    FUnknownPtr<IDependent> dependent(static_cast<IDependent*>(raw));
    EXPECT_TRUE(dependent);
    EXPECT_EQ(raw->getRefCount(), 3u);
    FUnknownPtr<IPlugView> view(static_cast<IDependent*>(raw));
    EXPECT_FALSE(view);
    FUnknownPtr<IPlugView> none(nullptr);
    EXPECT_FALSE(none);
  }
  EXPECT_TRUE(destroyed);
}

class Frame : public IPlugFrame {
public:
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++count; }
  uint32 PLUGIN_API release() override { return --count; }
  tresult PLUGIN_API resizeView(IPlugView*, ViewRect*) override { return kResultOk; }
  uint32 count = 1;
};

TEST(CPluginView, SizeFrameAndParent) {
  const ViewRect initial(0, 0, 368, 370);
  auto view = IPtr<CPluginView>::adopt(new CPluginView(&initial));

  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);
  ViewRect size;
  EXPECT_EQ(view->getSize(&size), kResultTrue);
  EXPECT_EQ(size.getWidth(), 368);
  EXPECT_EQ(size.getHeight(), 370);
  ViewRect bigger(0, 0, 400, 420);
  EXPECT_EQ(view->onSize(&bigger), kResultTrue);
  EXPECT_EQ(view->onSize(nullptr), kResultTrue);
  EXPECT_EQ(view->getRect().getWidth(), 400);

  Frame frame;
  EXPECT_EQ(view->setFrame(&frame), kResultTrue);
  EXPECT_EQ(frame.count, 2u);
  EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(frame.count, 1u);

  int parent = 0;
  EXPECT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultOk);
  EXPECT_TRUE(view->isAttached());
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_FALSE(view->isAttached());

  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kNotImplemented);
  EXPECT_EQ(view->canResize(), kResultFalse);
  EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse);

  void* answer = nullptr;
  ASSERT_EQ(view->queryInterface(IPlugView::iid, &answer), kResultOk);
  EXPECT_EQ(answer, static_cast<IPlugView*>(view.get()));
  static_cast<IPlugView*>(answer)->release();
}

} // namespace
