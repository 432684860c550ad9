#include "graphics/IGraphicsLinux.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace
{
// Folder queries answer at most this many characters, like the Windows editor.
constexpr int kPathMax = 256;

// The text up to and including the last slash; empty without one before the
// last character.
void FolderOf(const char* path, char* out)
{
  *out = '\0';
  if (!path) return;
  const size_t n = std::strlen(path);
  if (n == 0 || n >= kPathMax) return;
  const char* slash = std::strrchr(path, '/');
  if (!slash || slash == path + n - 1) return;
  const size_t keep = static_cast<size_t>(slash - path) + 1;
  std::memcpy(out, path, keep);
  out[keep] = '\0';
}
}  // namespace

void IGraphicsLinux::HostFolder(char* out)
{
  if (!out) return;
  char path[kPathMax] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0)
    *out = '\0';
  else
    FolderOf(path, out);
}

void IGraphicsLinux::ModuleFolder(char* out)
{
  if (!out) return;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&MakePlatformGraphics), &info) && info.dli_fname)
    FolderOf(info.dli_fname, out);
  else
    *out = '\0';
}

bool IGraphicsLinux::OpenLink(const char* address, const char*, const char*, const char*)
{
  if (!address || !*address) return false;
  char opener[] = "xdg-open";
  char* argv[] = {opener, const_cast<char*>(address), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) != 0) return false;
  // xdg-open hands the address over and exits; reaping it here leaves no zombie.
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

IGraphicsPlatform* MakePlatformGraphics(IPlugBase* plug, int width, int height, int frameRate, void* moduleInstance)
{
  auto* g = new IGraphicsLinux(plug, width, height, frameRate);
  g->SetModuleInstance(moduleInstance);
  return g;
}
