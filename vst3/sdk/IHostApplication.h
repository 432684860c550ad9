// What the host context given to initialize offers.
#pragma once

#include "vst3/sdk/FUnknown.h"
#include "vst3/sdk/VstTypes.h"

namespace Steinberg {
namespace Vst {

class IHostApplication : public FUnknown {
public:
  virtual tresult PLUGIN_API getName(String128 name) = 0;
  // Creates host objects (IMessage, IAttributeList); the caller owns the result.
  virtual tresult PLUGIN_API createInstance(TUID cid, TUID iid, void** obj) = 0;

  static constexpr FUID iid{0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5};
};

class IPlugInterfaceSupport : public FUnknown {
public:
  virtual tresult PLUGIN_API isPlugInterfaceSupported(const TUID iid) = 0;

  static constexpr FUID iid{0x4FB58B9E, 0x9EAA4E0F, 0xAB361C1C, 0xCCB56FEA};
};

} // namespace Vst
} // namespace Steinberg
