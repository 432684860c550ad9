#include <windows.h>

#include "tests/vst3/ModuleLibrary.h"

namespace
{
using InitFunction = bool (*)();
using FactoryFunction = Steinberg::IPluginFactory* (*)();

// Build paths are Unix paths when the tests run under Wine; Wine shows the
// Unix root as drive Z:.
std::wstring WindowsPath(const std::string& path)
{
  std::string converted = !path.empty() && path[0] == '/' ? "Z:" + path : path;
  std::wstring wide;
  for (char c : converted)
    wide += static_cast<wchar_t>(c == '/' ? '\\' : static_cast<unsigned char>(c));
  return wide;
}
}  // namespace

ModuleLibrary::ModuleLibrary(const std::string& bundlePath)
  : binaryPath(bundlePath + "/Contents/x86_64-win/Thrumwell.vst3")
{
  handle = LoadLibraryW(WindowsPath(binaryPath).c_str());
}

ModuleLibrary::~ModuleLibrary()
{
  if (entered)
    if (auto exitDll = reinterpret_cast<InitFunction>(Symbol("ExitDll")))
      exitDll();
  if (handle)
    FreeLibrary(static_cast<HMODULE>(handle));
}

void* ModuleLibrary::Symbol(const char* name) const
{
  return handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)) : nullptr;
}

bool ModuleLibrary::Enter()
{
  auto initDll = reinterpret_cast<InitFunction>(Symbol("InitDll"));
  entered = !initDll || initDll();
  return entered;
}

Steinberg::IPluginFactory* ModuleLibrary::GetFactory() const
{
  auto factory = reinterpret_cast<FactoryFunction>(Symbol("GetPluginFactory"));
  return factory ? factory() : nullptr;
}

std::vector<std::string> ModuleLibrary::ExportedNames(const std::vector<std::string>&) const
{
  std::vector<std::string> names;
  if (!handle)
    return names;
  const auto* base = static_cast<const unsigned char*>(handle);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (entry.VirtualAddress == 0)
    return names;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
  const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    names.emplace_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
  return names;
}
