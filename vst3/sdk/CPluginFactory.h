// CPluginFactory: the class factory a module hands to the host. It lists the
// registered classes and creates instances of them by class ID.
#pragma once

#include "vst3/sdk/IPluginBase.h"
#include "vst3/sdk/IPtr.h"

#include <atomic>
#include <vector>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3 {
public:
  // Returns a new object carrying one reference, or null.
  using CreateFunction = FUnknown* (*)(void* context);

  explicit CPluginFactory(const PFactoryInfo& info);
  virtual ~CPluginFactory();

  // The 8-bit forms also get a UTF-16 copy (widened byte by byte); a class
  // registered from PClassInfoW is reachable only through
  // getClassInfoUnicode. Null info or create function is refused.
  bool registerClass(const PClassInfo* info, CreateFunction create, void* context = nullptr);
  bool registerClass(const PClassInfo2* info, CreateFunction create, void* context = nullptr);
  bool registerClass(const PClassInfoW* info, CreateFunction create, void* context = nullptr);
  bool isClassRegistered(const FUID& cid) const;

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override;
  uint32 PLUGIN_API release() override;

  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override;
  int32 PLUGIN_API countClasses() override;
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override;
  // Creates the first class whose ID matches and asks it for `iid`. Every
  // failure gives *obj = null and kNoInterface.
  tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) override;
  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) override;
  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) override;
  // Linux hosts pass an object that offers their run loop; it is kept while
  // it answers IRunLoop. Other platforms have nothing to keep.
  tresult PLUGIN_API setHostContext(FUnknown* context) override;

  // The run loop of the last setHostContext, or null.
  FUnknown* getHostRunLoop() const { return hostRunLoop_.get(); }
  // The same for the module's live factory (the first one made that still
  // exists), for plug-in objects that need the host's run loop outside their
  // editor. Host main thread.
  static FUnknown* moduleHostRunLoop();

private:
  struct ClassEntry {
    PClassInfo2 info8;
    PClassInfoW info16;
    CreateFunction create;
    void* context;
    bool unicodeOnly;
  };

  const ClassEntry* entryAt(int32 index) const;

  std::atomic<int32> refCount_{1};
  PFactoryInfo factoryInfo_;
  std::vector<ClassEntry> classes_;
  IPtr<FUnknown> hostRunLoop_;
};

} // namespace Steinberg
