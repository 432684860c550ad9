#include "host/HostConnectionProxy.h"

namespace ThrumwellHost
{

using namespace Steinberg;
using namespace Steinberg::Vst;

HostConnectionProxy::HostConnectionProxy() : owner(std::this_thread::get_id()) {}

tresult PLUGIN_API HostConnectionProxy::connect(IConnectionPoint* peer)
{
  if (!peer)
    return kInvalidArgument;
  if (other || !source)
    return kResultFalse;
  other = peer;
  const tresult result = source->connect(this);
  if (result != kResultOk)
    other = nullptr;
  return result;
}

tresult PLUGIN_API HostConnectionProxy::disconnect(IConnectionPoint* peer)
{
  if (!peer || peer != other)
    return kInvalidArgument;
  other = nullptr;
  if (source)
    source->disconnect(this);
  return kResultOk;
}

tresult PLUGIN_API HostConnectionProxy::notify(IMessage* message)
{
  if (!message)
    return kInvalidArgument;
  if (std::this_thread::get_id() != owner)
  {
    const char* id = message->getMessageID();
    std::lock_guard<std::mutex> guard(lock);
    complaints.push_back(std::string("message \"") + (id ? id : "") +
                         "\" sent off the user-interface thread");
    return kResultFalse;
  }
  if (!other)
    return kResultFalse;
  ++forwarded;
  return other->notify(message);
}

std::vector<std::string> HostConnectionProxy::Complaints() const
{
  std::lock_guard<std::mutex> guard(lock);
  return complaints;
}

void HostConnectionProxy::Clear()
{
  std::lock_guard<std::mutex> guard(lock);
  complaints.clear();
}

}  // namespace ThrumwellHost
