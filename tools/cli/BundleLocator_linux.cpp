#include "tools/cli/BundleLocator.h"

#include <cstdlib>

#include "host/HostUtf8.h"

namespace ThrumwellCli
{

BundleSearch ThisProgramsSearch()
{
  BundleSearch search;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error)
    search.executableFolder = self.parent_path();
#ifdef THRUMWELL_BUILD_TREE
  search.buildTree = ThrumwellHost::PathFromUtf8(THRUMWELL_BUILD_TREE);
#endif
  if (!search.executableFolder.empty())
    search.vst3Folders.push_back((search.executableFolder / ".." / "lib" / "vst3").lexically_normal());
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/')
    search.vst3Folders.push_back(std::filesystem::path(home) / ".vst3");
  search.vst3Folders.push_back("/usr/lib/vst3");
  search.vst3Folders.push_back("/usr/local/lib/vst3");
  return search;
}

}  // namespace ThrumwellCli
