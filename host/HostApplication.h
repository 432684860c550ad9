#pragma once
// The host context given to initialize: IHostApplication with our name, and
// IPlugInterfaceSupport answering for the interfaces this host calls.
// createInstance may be called from any thread.

#include <atomic>
#include <string>

#include "host/HostObject.h"
#include "vst3/sdk/IHostApplication.h"

namespace ThrumwellHost
{

class HostApplication final : public HostObject<Steinberg::Vst::IHostApplication, Steinberg::Vst::IPlugInterfaceSupport>
{
public:
  explicit HostApplication(std::u16string hostName = u"Thrumwell Render");

  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  // Messages and attribute lists for the two halves of a plug-in to talk
  // through (HostMessage.h); nothing else.
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) override;
  Steinberg::tresult PLUGIN_API isPlugInterfaceSupported(const Steinberg::TUID iid) override;

  // Times getName was called.
  int NameRequests() const { return nameRequests; }
  // Objects made by createInstance.
  int InstancesMade() const { return instancesMade; }

private:
  std::u16string name;
  int nameRequests = 0;
  std::atomic<int> instancesMade{0};
};

}  // namespace ThrumwellHost
