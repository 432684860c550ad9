#include "vst3/sdk/CPluginFactory.h"

#include "vst3/sdk/IPlugView.h"

#include <cstring>

namespace Steinberg {

namespace {
std::atomic<CPluginFactory*> liveFactory{nullptr};
}

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo_(info) {
  CPluginFactory* none = nullptr;
  liveFactory.compare_exchange_strong(none, this);
}

CPluginFactory::~CPluginFactory() {
  CPluginFactory* self = this;
  liveFactory.compare_exchange_strong(self, nullptr);
}

FUnknown* CPluginFactory::moduleHostRunLoop() {
  CPluginFactory* factory = liveFactory.load();
  return factory ? factory->getHostRunLoop() : nullptr;
}

bool CPluginFactory::registerClass(const PClassInfo* info, CreateFunction create, void* context) {
  if (!info || !create)
    return false;
  PClassInfo2 full;
  std::memcpy(full.cid, info->cid, sizeof(TUID));
  full.cardinality = info->cardinality;
  std::memcpy(full.category, info->category, sizeof(full.category));
  std::memcpy(full.name, info->name, sizeof(full.name));
  return registerClass(&full, create, context);
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction create, void* context) {
  if (!info || !create)
    return false;
  classes_.push_back({*info, PClassInfoW(*info), create, context, false});
  return true;
}

bool CPluginFactory::registerClass(const PClassInfoW* info, CreateFunction create, void* context) {
  if (!info || !create)
    return false;
  classes_.push_back({PClassInfo2(), *info, create, context, true});
  return true;
}

bool CPluginFactory::isClassRegistered(const FUID& cid) const {
  for (const ClassEntry& entry : classes_)
    if (iidEqual(entry.info16.cid, cid))
      return true;
  return false;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj) {
  if (queryInterfaceAs<IPluginFactory3>(this, iid, obj) || queryInterfaceAs<IPluginFactory2>(this, iid, obj) ||
      queryInterfaceAs<IPluginFactory>(this, iid, obj) || queryInterfaceAs<FUnknown>(this, iid, obj))
    return kResultOk;
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef() {
  return static_cast<uint32>(++refCount_);
}

uint32 PLUGIN_API CPluginFactory::release() {
  const int32 count = --refCount_;
  if (count == 0) {
    delete this;
    return 0;
  }
  return static_cast<uint32>(count);
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info) {
  if (info)
    *info = factoryInfo_;
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() {
  return static_cast<int32>(classes_.size());
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const {
  if (index < 0 || index >= static_cast<int32>(classes_.size()))
    return nullptr;
  return &classes_[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info)
    return kInvalidArgument;
  if (entry->unicodeOnly) {
    *info = PClassInfo();
    return kResultFalse;
  }
  std::memcpy(info->cid, entry->info8.cid, sizeof(TUID));
  info->cardinality = entry->info8.cardinality;
  std::memcpy(info->category, entry->info8.category, sizeof(info->category));
  std::memcpy(info->name, entry->info8.name, sizeof(info->name));
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info)
    return kInvalidArgument;
  if (entry->unicodeOnly) {
    *info = PClassInfo2();
    return kResultFalse;
  }
  *info = entry->info8;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info)
    return kInvalidArgument;
  *info = entry->info16;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj) {
  if (!obj)
    return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid)
    return kNoInterface;
  for (const ClassEntry& entry : classes_) {
    if (!iidEqual(entry.info16.cid, cid))
      continue;
    FUnknown* instance = entry.create(entry.context);
    if (!instance)
      return kNoInterface;
    void* answer = nullptr;
    const tresult result = instance->queryInterface(iid, &answer);
    // The interface reference stays with the caller; the creation reference goes.
    instance->release();
    if (result != kResultOk || !answer)
      return kNoInterface;
    *obj = answer;
    return kResultOk;
  }
  return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* context) {
  if (kComCompatible)
    return kNotImplemented;
  hostRunLoop_ = FUnknownPtr<Linux::IRunLoop>(context).get();
  return kResultTrue;
}

} // namespace Steinberg
