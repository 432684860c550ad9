// ComponentBase: what component and controller objects share: the host
// context from initialize and the connection to a peer object.
// All calls on the UI thread.
#pragma once

#include "vst3/sdk/FObject.h"
#include "vst3/sdk/IMessage.h"
#include "vst3/sdk/IPluginBase.h"
#include "vst3/sdk/IPtr.h"

namespace Steinberg {
namespace Vst {

class ComponentBase : public FObject, public IPluginBase, public IConnectionPoint {
public:
  uint32 PLUGIN_API addRef() override { return FObject::addRef(); }
  uint32 PLUGIN_API release() override { return FObject::release(); }
  // Answers IPluginBase and IConnectionPoint, then FObject's interfaces.
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  const char* isA() const override { return "ComponentBase"; }

  // Keeps a counted reference to the context (null is accepted). A second
  // initialize without terminate is refused with kResultFalse.
  tresult PLUGIN_API initialize(FUnknown* context) override;
  // Releases the context and disconnects the peer; initialize may follow.
  tresult PLUGIN_API terminate() override;

  tresult PLUGIN_API connect(IConnectionPoint* other) override;
  tresult PLUGIN_API disconnect(IConnectionPoint* other) override;
  // A "TextMessage" with a "Text" attribute goes to receiveText as UTF-8;
  // anything else is kResultFalse.
  tresult PLUGIN_API notify(IMessage* message) override;

  bool isInitialized() const { return initialized_; }
  FUnknown* getHostContext() const { return hostContext_.get(); }
  IConnectionPoint* getPeer() const { return peerConnection_.get(); }

  // A new message from the host (owned by the caller), or null.
  IMessage* allocateMessage() const;
  tresult sendMessage(IMessage* message) const;
  // Sends a "TextMessage" whose "Text" is `text`, cut to 255 characters.
  tresult sendTextMessage(const char8* text) const;
  tresult sendMessageID(const char8* messageID) const;

  virtual tresult receiveText(const char8*) { return kResultOk; }

private:
  bool initialized_ = false;
  IPtr<FUnknown> hostContext_;
  IPtr<IConnectionPoint> peerConnection_;
};

} // namespace Vst
} // namespace Steinberg
