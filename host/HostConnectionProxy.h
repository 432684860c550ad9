#pragma once
// HostConnectionProxy: what a host puts between the component and the
// controller of a two-object plug-in, one proxy per side. Connecting the
// proxy of a source (say the component) to the other side connects the
// source to the proxy, and every message the source sends through the proxy
// goes on to the other side. As hosts do, messages are forwarded only
// on the thread that made the proxy (the user-interface thread): a message
// sent from the audio thread is refused and recorded as a complaint.
//
// The host owns the proxies; the plug-in's references only move the counter
// of HostObject.

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/HostObject.h"
#include "vst3/sdk/IMessage.h"

namespace ThrumwellHost
{

class HostConnectionProxy final : public HostObject<Steinberg::Vst::IConnectionPoint>
{
public:
  HostConnectionProxy();

  // Sets the side whose messages this proxy carries (null: none).
  void SetSource(Steinberg::Vst::IConnectionPoint* point) { source = point; }

  // Remembers the other side and connects the source to this proxy; the
  // source's answer (kResultFalse while already connected).
  Steinberg::tresult PLUGIN_API connect(Steinberg::Vst::IConnectionPoint* other) override;
  // For the remembered other side: disconnects the source from this proxy.
  Steinberg::tresult PLUGIN_API disconnect(Steinberg::Vst::IConnectionPoint* other) override;
  // Forwards the message to the other side; kResultFalse when not connected
  // or called off the thread that made the proxy.
  Steinberg::tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override;

  bool IsConnected() const { return other != nullptr; }
  // Messages forwarded so far.
  int Forwarded() const { return forwarded; }
  // Misuse seen so far (messages from another thread); cleared by Clear.
  std::vector<std::string> Complaints() const;
  void Clear();

private:
  Steinberg::Vst::IConnectionPoint* source = nullptr;
  Steinberg::Vst::IConnectionPoint* other = nullptr;
  std::thread::id owner;
  int forwarded = 0;
  mutable std::mutex lock;
  std::vector<std::string> complaints;
};

}  // namespace ThrumwellHost
