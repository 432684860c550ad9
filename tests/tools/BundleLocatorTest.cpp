// Where a tool finds the bundle: beside itself, in its build tree only while
// it runs from there, then the platform's folders; an installed tool never
// falls back to the build tree it was made in.

#include "tools/cli/BundleLocator.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using ThrumwellCli::BundleCandidates;
using ThrumwellCli::BundleSearch;
using ThrumwellCli::FindBundle;

namespace
{

std::vector<std::string> Texts(const std::vector<fs::path>& paths)
{
  std::vector<std::string> texts;
  for (const fs::path& p : paths)
    texts.push_back(p.generic_string());
  return texts;
}

TEST(BundleLocator, LooksInTheBuildTreeOnlyFromInsideIt)
{
  struct Case
  {
    const char* executableFolder;
    const char* buildTree;
    bool windowsNames;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
    // A tool in its build tree: beside it, then the tree's bundle, then the folders.
    {"/src/build/linux/tools/render", "/src/build/linux", false,
     {"/src/build/linux/tools/render/Thrumwell.vst3", "/src/build/linux/Thrumwell.vst3", "/vst3/Thrumwell.vst3"}},
    // Installed: the build tree is not looked at.
    {"/usr/bin", "/src/build/linux", false, {"/usr/bin/Thrumwell.vst3", "/vst3/Thrumwell.vst3"}},
    // A folder whose name only starts like the tree's is outside it.
    {"/src/build/linux-asan/tools", "/src/build/linux", false,
     {"/src/build/linux-asan/tools/Thrumwell.vst3", "/vst3/Thrumwell.vst3"}},
    // Windows paths compare without regard to case or separator.
    {"z:\\SRC\\build\\win64\\tools\\render", "Z:/src/build/win64", true,
     {"z:\\SRC\\build\\win64\\tools\\render/Thrumwell.vst3", "Z:/src/build/win64/Thrumwell.vst3",
      "/vst3/Thrumwell.vst3"}},
    // The same on Linux is another folder.
    {"/SRC/build/linux/tools", "/src/build/linux", false,
     {"/SRC/build/linux/tools/Thrumwell.vst3", "/vst3/Thrumwell.vst3"}},
    // No build tree compiled in, or the executable's folder unknown.
    {"/opt/thrumwell", "", false, {"/opt/thrumwell/Thrumwell.vst3", "/vst3/Thrumwell.vst3"}},
    {"", "/src/build/linux", false, {"/vst3/Thrumwell.vst3"}},
  };
  for (const Case& c : cases)
  {
    BundleSearch search;
    search.executableFolder = c.executableFolder;
    search.buildTree = c.buildTree;
    search.windowsNames = c.windowsNames;
    search.vst3Folders = {"/vst3"};
    std::vector<std::string> expected;
    for (const std::string& e : c.expected)
      expected.push_back(fs::path(e).generic_string());
    EXPECT_EQ(Texts(BundleCandidates(search)), expected) << c.executableFolder;
  }
}

TEST(BundleLocator, TakesTheFirstBundleThatExists)
{
  const fs::path root = fs::current_path() / "locator";
  fs::remove_all(root);
  const fs::path bin = root / "usr" / "bin";
  const fs::path packaged = root / "usr" / "lib" / "vst3";
  const fs::path user = root / "home" / ".vst3";
  fs::create_directories(bin);
  BundleSearch search;
  search.executableFolder = bin;
  search.buildTree = root / "build";
  search.vst3Folders = {packaged, user};

  // Nothing anywhere: the first platform folder, for a message the user can act on.
  EXPECT_EQ(FindBundle(search), (packaged / "Thrumwell.vst3").string());
  // A file of that name is not a bundle.
  fs::create_directories(user);
  std::ofstream(user / "Thrumwell.vst3") << "not a bundle";
  EXPECT_EQ(FindBundle(search), (packaged / "Thrumwell.vst3").string());

  fs::remove(user / "Thrumwell.vst3");
  fs::create_directories(user / "Thrumwell.vst3");
  EXPECT_EQ(FindBundle(search), (user / "Thrumwell.vst3").string());
  fs::create_directories(packaged / "Thrumwell.vst3");
  EXPECT_EQ(FindBundle(search), (packaged / "Thrumwell.vst3").string());
  fs::create_directories(bin / "Thrumwell.vst3");
  EXPECT_EQ(FindBundle(search), (bin / "Thrumwell.vst3").string());

  // A tool inside its build tree whose bundle is missing names that bundle.
  BundleSearch built;
  built.executableFolder = root / "build" / "tools";
  built.buildTree = root / "build";
  built.vst3Folders = {root / "none"};
  EXPECT_EQ(FindBundle(built), (root / "build" / "Thrumwell.vst3").string());
  fs::remove_all(root);
}

}  // namespace
