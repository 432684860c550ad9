#include "vst3/sdk/FObject.h"

#include <cstring>

namespace Steinberg {

uint32 PLUGIN_API FObject::addRef() {
  return static_cast<uint32>(++refCount_);
}

uint32 PLUGIN_API FObject::release() {
  const int32 count = --refCount_;
  if (count == 0) {
    // A large negative guard keeps a stray addRef/release during destruction
    // from deleting the object twice.
    refCount_ = -1000;
    delete this;
    return 0;
  }
  return static_cast<uint32>(count);
}

tresult PLUGIN_API FObject::queryInterface(const TUID iid, void** obj) {
  if (queryInterfaceAs<FUnknown>(static_cast<IDependent*>(this), iid, obj) ||
      queryInterfaceAs<IDependent>(this, iid, obj))
    return kResultOk;
  if (iidEqual(iid, FObject::objectIid())) {
    addRef();
    *obj = this;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

bool FObject::isTypeOf(const char* name) const {
  return name && std::strcmp(name, "FObject") == 0;
}

const FUID& FObject::objectIid() {
  static const FUID moduleId = [] {
    FUID id;
    id.generate();
    return id;
  }();
  return moduleId;
}

} // namespace Steinberg
