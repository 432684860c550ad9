#pragma once
// The objects a plug-in asks the host for through
// IHostApplication::createInstance: messages between the component and the
// controller of a two-object plug-in, and the attribute lists they carry.
// Unlike the host objects of HostObject these live on the heap and belong to
// whoever holds a reference: created with one reference for the caller, they
// delete themselves when the last is released.
//
// Any thread; one object is used by one thread at a time.

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vst3/sdk/IMessage.h"

namespace ThrumwellHost
{

// A map from key to an integer, a float, a UTF-16 string or bytes. A value is
// read back only as the type it was stored with.
class HostAttributeList final : public Steinberg::Vst::IAttributeList
{
public:
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  Steinberg::tresult PLUGIN_API setInt(AttrID id, Steinberg::int64 value) override;
  Steinberg::tresult PLUGIN_API getInt(AttrID id, Steinberg::int64& value) override;
  Steinberg::tresult PLUGIN_API setFloat(AttrID id, double value) override;
  Steinberg::tresult PLUGIN_API getFloat(AttrID id, double& value) override;
  Steinberg::tresult PLUGIN_API setString(AttrID id, const Steinberg::Vst::TChar* string) override;
  // Copies at most sizeInBytes bytes of the stored text with its terminator;
  // a cut copy is terminated within the buffer.
  Steinberg::tresult PLUGIN_API getString(AttrID id, Steinberg::Vst::TChar* string,
                                          Steinberg::uint32 sizeInBytes) override;
  Steinberg::tresult PLUGIN_API setBinary(AttrID id, const void* data, Steinberg::uint32 sizeInBytes) override;
  // data points into the list's own copy, valid while the list lives and
  // the key is not set again.
  Steinberg::tresult PLUGIN_API getBinary(AttrID id, const void*& data, Steinberg::uint32& sizeInBytes) override;

private:
  enum class Kind { kInt, kFloat, kString, kBinary };
  struct Value
  {
    Kind kind = Kind::kInt;
    Steinberg::int64 integer = 0;
    double real = 0.0;
    std::u16string text;
    std::vector<std::uint8_t> bytes;
  };
  const Value* Find(AttrID id, Kind kind) const;
  // A fresh value of the kind under the key, replacing what was there.
  Value& Store(AttrID id, Kind kind);
  // setInt/setFloat and getInt/getFloat: one number under the key.
  template <class T>
  Steinberg::tresult PutNumber(AttrID id, Kind kind, T Value::*member, T value);
  template <class T>
  Steinberg::tresult GetNumber(AttrID id, Kind kind, T Value::*member, T& value) const;

  std::atomic<int> refs{1};
  std::map<std::string, Value> values;
};

class HostMessage final : public Steinberg::Vst::IMessage
{
public:
  ~HostMessage();

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  // Null until set; a null id clears it.
  Steinberg::FIDString PLUGIN_API getMessageID() override;
  void PLUGIN_API setMessageID(Steinberg::FIDString id) override;
  // Made on first use; borrowed, owned by the message.
  Steinberg::Vst::IAttributeList* PLUGIN_API getAttributes() override;

private:
  std::atomic<int> refs{1};
  bool hasId = false;
  std::string id;
  HostAttributeList* attributes = nullptr;
};

// IHostApplication::createInstance's answer: a new message or attribute list
// when both IDs name the same one of those interfaces, else null.
Steinberg::tresult CreateHostInstance(const Steinberg::TUID cid, const Steinberg::TUID iid, void** obj);

}  // namespace ThrumwellHost
