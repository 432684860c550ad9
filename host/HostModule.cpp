#include "host/HostModule.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vst3/sdk/UString.h"
#include "vst3/sdk/VstTypes.h"

namespace ThrumwellHost
{

using namespace Steinberg;

namespace {

// A fixed-size 8-bit field up to its terminator or its end.
template <std::size_t N>
std::string Field(const char8 (&text)[N])
{
  return std::string(text, strnlen(text, N));
}

template <std::size_t N>
std::string Field(const char16 (&text)[N])
{
  char16 terminated[N + 1] = {};
  std::memcpy(terminated, text, sizeof(text));
  return utf16ToUtf8(terminated);
}

template <class Info>
void CopyCommon(const Info& from, HostClassInfo& to)
{
  std::memcpy(to.cid.data(), from.cid, 16);
  to.cardinality = from.cardinality;
  to.category = Field(from.category);
  to.name = Field(from.name);
}

// The modules loaded now, in load order. Never destroyed: the exit handler
// reads it after static objects may have gone.
std::vector<HostModule*>& LoadedModules()
{
  static auto* loaded = new std::vector<HostModule*>();
  return *loaded;
}

// Unloads the modules still loaded, the last loaded first.
void UnloadAtExit()
{
  std::vector<HostModule*>& loaded = LoadedModules();
  while (!loaded.empty())
    loaded.back()->Unload();
}

}  // namespace

HostModule::~HostModule() { Unload(); }

std::string HostModule::BundleName(const std::string& bundlePath)
{
  std::string path = bundlePath;
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
    path.pop_back();
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(".vst3");
  if (dot != std::string::npos && dot + 5 == name.size())
    name.resize(dot);
  return name;
}

bool HostModule::Load(const std::string& bundlePath)
{
  Unload();
  error.clear();
  const std::string path = BinaryPath(bundlePath);
  if (!OpenBinary(path))
  {
    error = "cannot load \"" + path + "\"" + (error.empty() ? "" : ": " + error);
    return false;
  }
  // Exit handlers run in the reverse order of their registration, and the
  // binary's static objects registered their destructors while it loaded:
  // registered now, this handler runs before them.
  LoadedModules().push_back(this);
  std::atexit(UnloadAtExit);
  getFactory = reinterpret_cast<GetFactoryProc>(Symbol("GetPluginFactory"));
  if (!getFactory)
  {
    error = "\"" + path + "\" does not export GetPluginFactory";
    Unload();
    return false;
  }
  if (!CallEntry())
  {
    if (error.empty())
      error = "the module entry of \"" + path + "\" failed";
    Unload();
    return false;
  }
  entered = true;
  factory = getFactory();
  if (!factory)
  {
    error = "GetPluginFactory of \"" + path + "\" returned no factory";
    Unload();
    return false;
  }
  return true;
}

void HostModule::Unload()
{
  if (factory)
    factory->release();
  factory = nullptr;
  if (entered)
    CallExit();
  entered = false;
  getFactory = nullptr;
  if (binary)
    CloseBinary();
  binary = nullptr;
  std::vector<HostModule*>& loaded = LoadedModules();
  loaded.erase(std::remove(loaded.begin(), loaded.end(), this), loaded.end());
}

IPluginFactory* HostModule::CallGetPluginFactory() const { return getFactory ? getFactory() : nullptr; }

tresult HostModule::SetHostContext(FUnknown* context)
{
  void* answer = nullptr;
  if (!factory || factory->queryInterface(IPluginFactory3::iid, &answer) != kResultOk || !answer)
    return kNoInterface;
  auto* factory3 = static_cast<IPluginFactory3*>(answer);
  const tresult result = factory3->setHostContext(context);
  factory3->release();
  return result;
}

int HostModule::NClasses() const { return factory ? factory->countClasses() : 0; }

bool HostModule::GetClass(int index, HostClassInfo& info) const
{
  if (!factory)
    return false;
  info = HostClassInfo();
  void* answer = nullptr;
  if (factory->queryInterface(IPluginFactory3::iid, &answer) == kResultOk && answer)
  {
    auto* factory3 = static_cast<IPluginFactory3*>(answer);
    PClassInfoW w;
    const tresult result = factory3->getClassInfoUnicode(index, &w);
    factory3->release();
    if (result != kResultOk)
      return false;
    CopyCommon(w, info);
    info.name = Field(w.name);
    info.classFlags = w.classFlags;
    info.subCategories = Field(w.subCategories);
    info.vendor = Field(w.vendor);
    info.version = Field(w.version);
    info.sdkVersion = Field(w.sdkVersion);
  }
  else if (factory->queryInterface(IPluginFactory2::iid, &answer) == kResultOk && answer)
  {
    auto* factory2 = static_cast<IPluginFactory2*>(answer);
    PClassInfo2 c2;
    const tresult result = factory2->getClassInfo2(index, &c2);
    factory2->release();
    if (result != kResultOk)
      return false;
    CopyCommon(c2, info);
    info.classFlags = c2.classFlags;
    info.subCategories = Field(c2.subCategories);
    info.vendor = Field(c2.vendor);
    info.version = Field(c2.version);
    info.sdkVersion = Field(c2.sdkVersion);
  }
  else
  {
    PClassInfo c;
    if (factory->getClassInfo(index, &c) != kResultOk)
      return false;
    CopyCommon(c, info);
  }
  // An empty vendor means the factory's.
  if (info.vendor.empty())
  {
    PFactoryInfo factoryInfo;
    if (factory->getFactoryInfo(&factoryInfo) == kResultOk)
      info.vendor = Field(factoryInfo.vendor);
  }
  return true;
}

int HostModule::FindClass(const char* category) const
{
  for (int i = 0; i < NClasses(); ++i)
  {
    HostClassInfo info;
    if (GetClass(i, info) && info.category == category)
      return i;
  }
  return -1;
}

int HostModule::ChooseClass(const std::string& wanted, std::string& reason) const
{
  std::string names;
  for (int i = 0; i < NClasses(); ++i)
  {
    HostClassInfo info;
    if (!GetClass(i, info) || info.category != Steinberg::Vst::kVstAudioEffectClass)
      continue;
    const bool byIndex = !wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos &&
                         wanted.size() < 10 && std::stoi(wanted) == i;
    if (wanted.empty() || byIndex || info.name == wanted)
      return i;
    names += (names.empty() ? "" : ", ") + std::to_string(i) + " \"" + info.name + "\"";
  }
  if (names.empty())
    reason = "the module has no audio module class";
  else
    reason = "the module has no audio module class \"" + wanted + "\" (it has " + names + ")";
  return -1;
}

}  // namespace ThrumwellHost
