#include "vst3/sdk/ComponentBase.h"

#include "vst3/sdk/IHostApplication.h"
#include "vst3/sdk/UString.h"

#include <cstring>

namespace Steinberg {
namespace Vst {

namespace {
constexpr const char8* kTextMessage = "TextMessage";
constexpr const char8* kTextAttribute = "Text";
constexpr int32 kTextMessageChars = 256;
} // namespace

tresult PLUGIN_API ComponentBase::queryInterface(const TUID iid, void** obj) {
  if (queryInterfaceAs<IPluginBase>(this, iid, obj) || queryInterfaceAs<IConnectionPoint>(this, iid, obj))
    return kResultOk;
  return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API ComponentBase::initialize(FUnknown* context) {
  if (initialized_)
    return kResultFalse;
  initialized_ = true;
  hostContext_ = context;
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::terminate() {
  hostContext_.reset();
  if (peerConnection_) {
    IPtr<IConnectionPoint> peer = peerConnection_;
    peerConnection_.reset();
    peer->disconnect(this);
  }
  initialized_ = false;
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::connect(IConnectionPoint* other) {
  if (!other)
    return kInvalidArgument;
  if (peerConnection_)
    return kResultFalse;
  peerConnection_ = other;
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::disconnect(IConnectionPoint* other) {
  if (!peerConnection_ || peerConnection_.get() != other)
    return kResultFalse;
  peerConnection_.reset();
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::notify(IMessage* message) {
  if (!message)
    return kInvalidArgument;
  const FIDString id = message->getMessageID();
  IAttributeList* attributes = message->getAttributes();
  if (!id || std::strcmp(id, kTextMessage) != 0 || !attributes)
    return kResultFalse;
  TChar text[kTextMessageChars] = {};
  if (attributes->getString(kTextAttribute, text, sizeof(text)) != kResultOk)
    return kResultFalse;
  text[kTextMessageChars - 1] = 0;
  return receiveText(utf16ToUtf8(text).c_str());
}

IMessage* ComponentBase::allocateMessage() const {
  FUnknownPtr<IHostApplication> host(hostContext_.get());
  if (!host)
    return nullptr;
  void* answer = nullptr;
  TUID messageIid;
  IMessage::iid.toTUID(messageIid);
  if (host->createInstance(messageIid, messageIid, &answer) != kResultOk || !answer)
    return nullptr;
  return static_cast<IMessage*>(answer);
}

tresult ComponentBase::sendMessage(IMessage* message) const {
  if (!message || !peerConnection_)
    return kResultFalse;
  return peerConnection_->notify(message);
}

tresult ComponentBase::sendTextMessage(const char8* text) const {
  auto message = IPtr<IMessage>::adopt(allocateMessage());
  if (!message)
    return kResultFalse;
  message->setMessageID(kTextMessage);
  std::u16string wide = utf8ToUtf16(text);
  if (wide.size() > size_t(kTextMessageChars - 1))
    wide.resize(kTextMessageChars - 1);
  if (IAttributeList* attributes = message->getAttributes())
    attributes->setString(kTextAttribute, wide.c_str());
  return sendMessage(message.get());
}

tresult ComponentBase::sendMessageID(const char8* messageID) const {
  auto message = IPtr<IMessage>::adopt(allocateMessage());
  if (!message)
    return kResultFalse;
  message->setMessageID(messageID);
  return sendMessage(message.get());
}

} // namespace Vst
} // namespace Steinberg
