#include "graphics/IGraphicsWin.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace
{
constexpr int kPathMax = 256;

void FolderOfModule(HMODULE module, char* out)
{
  *out = '\0';
  char path[kPathMax] = {};
  const DWORD n = GetModuleFileNameA(module, path, kPathMax);
  if (n == 0 || n >= kPathMax) return;
  const char* slash = std::strrchr(path, '\\');
  if (!slash || slash == path + n - 1) return;
  const size_t keep = static_cast<size_t>(slash - path) + 1;
  std::memcpy(out, path, keep);
  out[keep] = '\0';
}
}  // namespace

void IGraphicsWin::HostFolder(char* out)
{
  if (out) FolderOfModule(nullptr, out);
}

void IGraphicsWin::ModuleFolder(char* out)
{
  if (out) FolderOfModule(static_cast<HMODULE>(moduleInstance), out);
}

bool IGraphicsWin::OpenLink(const char* address, const char* caption, const char* confirm, const char* failure)
{
  if (!address || !*address) return false;
  if (confirm && *confirm && MessageBoxA(nullptr, confirm, caption, MB_YESNO) != IDYES) return false;
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  if (failure && *failure) MessageBoxA(nullptr, failure, caption, MB_OK);
  return false;
}

IGraphicsPlatform* MakePlatformGraphics(IPlugBase* plug, int width, int height, int frameRate, void* moduleInstance)
{
  auto* g = new IGraphicsWin(plug, width, height, frameRate);
  g->SetModuleInstance(moduleInstance);
  return g;
}
