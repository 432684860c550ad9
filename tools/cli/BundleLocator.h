#pragma once
// Where a tool finds the Thrumwell bundle when the command line names none.
// A tool run from its build tree plays the bundle of that tree; an installed
// tool plays the installed bundle, never a build tree it was once made in:
//   1. Thrumwell.vst3 beside the executable;
//   2. the build tree's bundle, only while the executable lies in that tree;
//   3. the platform's folders, where the packages put it first: on Windows
//      the global VST3 folder (%CommonProgramFiles%\VST3, the installer's)
//      and the user's (%LOCALAPPDATA%\Programs\Common\VST3); on Linux
//      ../lib/vst3 from the executable's folder (/usr/bin -> /usr/lib/vst3,
//      the package's), ~/.vst3, /usr/lib/vst3 and /usr/local/lib/vst3.

#include <filesystem>
#include <string>
#include <vector>

namespace ThrumwellCli
{

struct BundleSearch
{
  std::filesystem::path executableFolder;  // empty when unknown
  std::filesystem::path buildTree;         // empty for none
  std::vector<std::filesystem::path> vst3Folders;
  bool windowsNames = false;  // names ignore case; '\\' separates too
};

// The folders to look in, in order, for the running executable.
std::vector<std::filesystem::path> BundleCandidates(const BundleSearch& search);

// The first candidate that exists; when none does, the build tree's bundle
// for a program in its build tree, else the bundle in the first platform
// folder, so that a failure to load names a place the user can act on.
std::string FindBundle(const BundleSearch& search);

// The search of the running program: its own folder, the build tree it was
// built in and this platform's VST3 folders (BundleLocator_linux.cpp,
// BundleLocator_win.cpp).
BundleSearch ThisProgramsSearch();

// FindBundle(ThisProgramsSearch()).
std::string DefaultBundle();

}  // namespace ThrumwellCli
