// FUnknown, the root of every interface, and the helpers that answer
// queryInterface.
//
// Interfaces are abstract classes with only pure virtual methods, no virtual
// destructor, no data and no overloads, so that their vtables are exactly the
// published slot lists on every compiler. Each declares its identifier as the
// static member `iid` (static members take no room in the object).
#pragma once

#include "vst3/sdk/FTypes.h"
#include "vst3/sdk/FUID.h"

namespace Steinberg {

class FUnknown {
public:
  // Slot 0..2, binary-identical to COM's IUnknown on Windows.
  virtual tresult PLUGIN_API queryInterface(const TUID iid, void** obj) = 0;
  virtual uint32 PLUGIN_API addRef() = 0;
  virtual uint32 PLUGIN_API release() = 0;

  static constexpr FUID iid{0x00000000, 0x00000000, 0xC0000000, 0x00000046};
};

// Change notifications between objects; every FObject answers it.
class IDependent : public FUnknown {
public:
  enum ChangeMessage { kWillChange, kChanged, kDestroyed, kWillDestroy };

  virtual void PLUGIN_API update(FUnknown* changedUnknown, int32 message) = 0;

  static constexpr FUID iid{0xF52B7AAE, 0xDE72416D, 0x8AF18ACE, 0x9DD7BD5E};
};

// If `iid` names Interface, hands out `self` as that interface with one added
// reference and returns true. `self` must convert to Interface* without
// ambiguity; for FUnknown pass the object through one of its interface bases.
template <class Interface, class Self>
bool queryInterfaceAs(Self* self, const TUID iid, void** obj) {
  if (!iidEqual(iid, Interface::iid))
    return false;
  Interface* answer = self;
  answer->addRef();
  *obj = answer;
  return true;
}

} // namespace Steinberg
