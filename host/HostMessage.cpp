#include "host/HostMessage.h"

#include <algorithm>
#include <cstring>

namespace ThrumwellHost
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <class Self, class Interface>
tresult Answer(Self* self, const TUID iid, void** obj)
{
  if (!obj)
    return kInvalidArgument;
  if (iidEqual(iid, Interface::iid) || iidEqual(iid, FUnknown::iid))
  {
    Interface* answer = self;
    answer->addRef();
    *obj = answer;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace

// ---- HostAttributeList -------------------------------------------------------------

tresult PLUGIN_API HostAttributeList::queryInterface(const TUID iid, void** obj)
{
  return Answer<HostAttributeList, IAttributeList>(this, iid, obj);
}

uint32 PLUGIN_API HostAttributeList::addRef() { return static_cast<uint32>(++refs); }

uint32 PLUGIN_API HostAttributeList::release()
{
  const int left = --refs;
  if (left == 0)
    delete this;
  return static_cast<uint32>(std::max(left, 0));
}

const HostAttributeList::Value* HostAttributeList::Find(AttrID id, Kind kind) const
{
  const auto found = values.find(id);
  return found != values.end() && found->second.kind == kind ? &found->second : nullptr;
}

HostAttributeList::Value& HostAttributeList::Store(AttrID id, Kind kind)
{
  Value& v = values[id] = Value();
  v.kind = kind;
  return v;
}

template <class T>
tresult HostAttributeList::PutNumber(AttrID id, Kind kind, T Value::*member, T value)
{
  if (!id)
    return kInvalidArgument;
  Store(id, kind).*member = value;
  return kResultTrue;
}

template <class T>
tresult HostAttributeList::GetNumber(AttrID id, Kind kind, T Value::*member, T& value) const
{
  if (!id)
    return kInvalidArgument;
  const Value* v = Find(id, kind);
  if (!v)
    return kResultFalse;
  value = v->*member;
  return kResultTrue;
}

tresult PLUGIN_API HostAttributeList::setInt(AttrID id, int64 value)
{
  return PutNumber(id, Kind::kInt, &Value::integer, value);
}

tresult PLUGIN_API HostAttributeList::getInt(AttrID id, int64& value)
{
  return GetNumber(id, Kind::kInt, &Value::integer, value);
}

tresult PLUGIN_API HostAttributeList::setFloat(AttrID id, double value)
{
  return PutNumber(id, Kind::kFloat, &Value::real, value);
}

tresult PLUGIN_API HostAttributeList::getFloat(AttrID id, double& value)
{
  return GetNumber(id, Kind::kFloat, &Value::real, value);
}

tresult PLUGIN_API HostAttributeList::setString(AttrID id, const TChar* string)
{
  if (!id)
    return kInvalidArgument;
  Value& v = Store(id, Kind::kString);
  if (string)
    v.text = string;
  return kResultTrue;
}

tresult PLUGIN_API HostAttributeList::getString(AttrID id, TChar* string, uint32 sizeInBytes)
{
  if (!id)
    return kInvalidArgument;
  const Value* v = Find(id, Kind::kString);
  if (!v)
    return kResultFalse;
  const std::size_t room = sizeInBytes / sizeof(TChar);
  if (!string || room == 0)
    return kResultTrue;
  // The SDK's list leaves a cut copy unterminated; ours terminates it, which
  // no plug-in can mind.
  const std::size_t n = std::min(v->text.size(), room - 1);
  std::memcpy(string, v->text.data(), n * sizeof(TChar));
  string[n] = 0;
  return kResultTrue;
}

tresult PLUGIN_API HostAttributeList::setBinary(AttrID id, const void* data, uint32 sizeInBytes)
{
  if (!id || (!data && sizeInBytes > 0))
    return kInvalidArgument;
  Value& v = Store(id, Kind::kBinary);
  if (sizeInBytes > 0)
    v.bytes.assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + sizeInBytes);
  return kResultTrue;
}

tresult PLUGIN_API HostAttributeList::getBinary(AttrID id, const void*& data, uint32& sizeInBytes)
{
  if (!id)
    return kInvalidArgument;
  const Value* v = Find(id, Kind::kBinary);
  if (!v)
  {
    sizeInBytes = 0;
    return kResultFalse;
  }
  data = v->bytes.data();
  sizeInBytes = static_cast<uint32>(v->bytes.size());
  return kResultTrue;
}

// ---- HostMessage --------------------------------------------------------------------

HostMessage::~HostMessage()
{
  if (attributes)
    attributes->release();
}

tresult PLUGIN_API HostMessage::queryInterface(const TUID iid, void** obj)
{
  return Answer<HostMessage, IMessage>(this, iid, obj);
}

uint32 PLUGIN_API HostMessage::addRef() { return static_cast<uint32>(++refs); }

uint32 PLUGIN_API HostMessage::release()
{
  const int left = --refs;
  if (left == 0)
    delete this;
  return static_cast<uint32>(std::max(left, 0));
}

FIDString PLUGIN_API HostMessage::getMessageID() { return hasId ? id.c_str() : nullptr; }

void PLUGIN_API HostMessage::setMessageID(FIDString newId)
{
  hasId = newId != nullptr;
  id = newId ? newId : "";
}

IAttributeList* PLUGIN_API HostMessage::getAttributes()
{
  if (!attributes)
    attributes = new HostAttributeList();
  return attributes;
}

tresult CreateHostInstance(const TUID cid, const TUID iid, void** obj)
{
  if (!obj)
    return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid)
    return kInvalidArgument;
  if (iidEqual(cid, IMessage::iid) && iidEqual(iid, IMessage::iid))
    *obj = static_cast<IMessage*>(new HostMessage());
  else if (iidEqual(cid, IAttributeList::iid) && iidEqual(iid, IAttributeList::iid))
    *obj = static_cast<IAttributeList*>(new HostAttributeList());
  return *obj ? kResultTrue : kResultFalse;
}

}  // namespace ThrumwellHost
