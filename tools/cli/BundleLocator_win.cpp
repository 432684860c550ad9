#include "tools/cli/BundleLocator.h"

#include <windows.h>

#include "host/HostUtf8.h"

namespace ThrumwellCli
{
namespace
{
std::filesystem::path FromEnvironment(const wchar_t* name)
{
  wchar_t value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(sizeof(value) / sizeof(value[0])));
  if (length == 0 || length >= sizeof(value) / sizeof(value[0]))
    return {};
  return std::filesystem::path(value);
}
}  // namespace

BundleSearch ThisProgramsSearch()
{
  BundleSearch search;
  search.windowsNames = true;
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(sizeof(path) / sizeof(path[0])));
  if (length != 0 && length < sizeof(path) / sizeof(path[0]))
    search.executableFolder = std::filesystem::path(path).parent_path();
#ifdef THRUMWELL_BUILD_TREE
  search.buildTree = ThrumwellHost::PathFromUtf8(THRUMWELL_BUILD_TREE);
#endif
  const std::filesystem::path common = FromEnvironment(L"CommonProgramFiles");
  if (!common.empty())
    search.vst3Folders.push_back(common / L"VST3");
  const std::filesystem::path local = FromEnvironment(L"LOCALAPPDATA");
  if (!local.empty())
    search.vst3Folders.push_back(local / L"Programs" / L"Common" / L"VST3");
  return search;
}

}  // namespace ThrumwellCli
