#pragma once
// HostObject: the base of every object our host hands to a plug-in. The host
// owns these objects by value; the plug-in's addRef/release only move a
// counter, which must be back at zero once the plug-in has let go of them.
// A count that would go below zero is recorded, not wrapped, so a plug-in that
// releases once too often is caught.

#include <tuple>

#include "vst3/sdk/FUnknown.h"

namespace ThrumwellHost
{

template <class... Interfaces>
class HostObject : public Interfaces...
{
public:
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
  {
    if (!obj)
      return Steinberg::kInvalidArgument;
    if ((... || Steinberg::queryInterfaceAs<Interfaces>(this, iid, obj)))
      return Steinberg::kResultOk;
    // FUnknown answers through the first interface.
    if (Steinberg::iidEqual(iid, Steinberg::FUnknown::iid))
    {
      First* self = this;
      self->addRef();
      *obj = self;
      return Steinberg::kResultOk;
    }
    *obj = nullptr;
    return Steinberg::kNoInterface;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return static_cast<Steinberg::uint32>(++refs); }
  Steinberg::uint32 PLUGIN_API release() override
  {
    if (refs == 0)
    {
      ++overReleases;
      return 0;
    }
    return static_cast<Steinberg::uint32>(--refs);
  }

  // References the plug-in holds now.
  int References() const { return refs; }
  // Releases that came without a matching reference.
  int OverReleases() const { return overReleases; }

private:
  using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

  int refs = 0;
  int overReleases = 0;
};

}  // namespace ThrumwellHost
