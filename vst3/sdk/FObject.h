// FObject: the reference-counted base of the helper classes.
//
// One object has exactly one count however many interfaces it implements: a
// subclass that adds interfaces answers them in its own queryInterface first,
// then delegates to its base, and forwards addRef/release to FObject.
#pragma once

#include "vst3/sdk/FUnknown.h"

#include <atomic>

namespace Steinberg {

class FObject : public IDependent {
public:
  FObject() = default;
  FObject(const FObject&) : refCount_(1) {}
  FObject& operator=(const FObject&) { return *this; }
  virtual ~FObject() = default;

  // Any thread. The object deletes itself when the count reaches zero.
  uint32 PLUGIN_API addRef() override;
  uint32 PLUGIN_API release() override;
  // Answers FUnknown, IDependent and objectIid().
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  void PLUGIN_API update(FUnknown*, int32) override {}

  // Class name and class test, for casts between helper objects inside one
  // module.
  virtual const char* isA() const { return "FObject"; }
  virtual bool isTypeOf(const char* name) const;

  // Tells the object that it changed; there is no global update handler, so
  // this only calls updateDone.
  void changed(int32 message = kChanged) { updateDone(message); }
  virtual void updateDone(int32) {}

  uint32 getRefCount() const { return refCount_.load(); }

  // Module-private identifier that lets a module cast an FUnknown back to the
  // FObject behind it; made afresh each time the module loads.
  static const FUID& objectIid();

private:
  std::atomic<int32> refCount_{1};
};

} // namespace Steinberg
