#include "vst3/IdleTimer.h"

#include <atomic>

#include "plug/IPlugBase.h"
#include "vst3/sdk/CPluginFactory.h"
#include "vst3/sdk/FObject.h"
#include "vst3/sdk/IPlugView.h"

using namespace Steinberg;

namespace
{

// What the run loop calls: a reference-counted object of its own, because the
// host may hold it past Stop until its loop lets go.
class IdleTimerHandler final : public FObject, public Linux::ITimerHandler
{
public:
  explicit IdleTimerHandler(IPlugBase* plug) : plug(plug) {}

  void PLUGIN_API onTimer() override
  {
    if (IPlugBase* target = plug.load(std::memory_order_acquire))
      target->OnIdle();
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (queryInterfaceAs<Linux::ITimerHandler>(this, iid, obj))
      return kResultOk;
    return FObject::queryInterface(iid, obj);
  }
  uint32 PLUGIN_API addRef() override { return FObject::addRef(); }
  uint32 PLUGIN_API release() override { return FObject::release(); }

  // Calls after this reach nothing.
  void Detach() { plug.store(nullptr, std::memory_order_release); }

private:
  std::atomic<IPlugBase*> plug;
};

Linux::IRunLoop* FindRunLoop(FUnknown* hostContext)
{
  Linux::IRunLoop* loop = nullptr;
  if (hostContext && hostContext->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) == kResultOk &&
      loop)
    return loop;
  if (FUnknown* fromFactory = CPluginFactory::moduleHostRunLoop())
    if (fromFactory->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) == kResultOk && loop)
      return loop;
  return nullptr;
}

}  // namespace

bool IdleTimer::Start(FUnknown* hostContext)
{
  Stop();
  if (!plug)
    return false;
  Linux::IRunLoop* loop = FindRunLoop(hostContext);
  if (!loop)
    return false;
  auto* handler = new IdleTimerHandler(plug);
  if (loop->registerTimer(handler, kIntervalMs) != kResultTrue)
  {
    handler->release();
    loop->release();
    return false;
  }
  native = handler;
  runLoop = loop;
  return true;
}

void IdleTimer::Stop()
{
  if (!native)
    return;
  auto* handler = static_cast<IdleTimerHandler*>(native);
  auto* loop = static_cast<Linux::IRunLoop*>(runLoop);
  handler->Detach();
  loop->unregisterTimer(handler);
  loop->release();
  handler->release();
  native = nullptr;
  runLoop = nullptr;
}
