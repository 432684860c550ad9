#include "tools/cli/BundleLocator.h"

#include <algorithm>
#include <cctype>

#include "host/HostUtf8.h"

namespace ThrumwellCli
{
namespace
{
constexpr const char* kBundleName = "Thrumwell.vst3";

// The path with '/' separators, lexically normal, without a trailing
// separator; for Windows names in lower case, '\\' read as '/'.
std::string Comparable(const std::filesystem::path& path, bool windowsNames)
{
  std::string text = path.generic_u8string();
  if (windowsNames)
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
      return c == '\\' ? '/' : static_cast<char>(std::tolower(c));
    });
  text = ThrumwellHost::PathFromUtf8(text).lexically_normal().generic_u8string();
  while (text.size() > 1 && text.back() == '/')
    text.pop_back();
  return text;
}

bool Inside(const std::filesystem::path& folder, const std::filesystem::path& tree, bool windowsNames)
{
  const std::string f = Comparable(folder, windowsNames);
  const std::string t = Comparable(tree, windowsNames);
  return !t.empty() && f.size() >= t.size() && f.compare(0, t.size(), t) == 0 &&
         (f.size() == t.size() || f[t.size()] == '/');
}
}  // namespace

std::vector<std::filesystem::path> BundleCandidates(const BundleSearch& search)
{
  std::vector<std::filesystem::path> candidates;
  const bool known = !search.executableFolder.empty();
  if (known)
    candidates.push_back(search.executableFolder / kBundleName);
  if (known && !search.buildTree.empty() && Inside(search.executableFolder, search.buildTree, search.windowsNames))
    candidates.push_back(search.buildTree / kBundleName);
  for (const std::filesystem::path& folder : search.vst3Folders)
    candidates.push_back(folder / kBundleName);
  return candidates;
}

std::string FindBundle(const BundleSearch& search)
{
  const std::vector<std::filesystem::path> candidates = BundleCandidates(search);
  for (const std::filesystem::path& candidate : candidates)
  {
    std::error_code error;
    if (std::filesystem::is_directory(candidate, error))
      return candidate.u8string();
  }
  // None exists: the build tree's bundle for a program in its build tree,
  // else the first platform folder.
  if (candidates.size() > search.vst3Folders.size() + 1)
    return candidates[1].u8string();
  if (!search.vst3Folders.empty())
    return (search.vst3Folders.front() / kBundleName).u8string();
  return kBundleName;
}

std::string DefaultBundle() { return FindBundle(ThisProgramsSearch()); }

}  // namespace ThrumwellCli
