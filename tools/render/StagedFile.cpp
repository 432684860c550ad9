#include "tools/render/StagedFile.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

#include "host/HostUtf8.h"

namespace fs = std::filesystem;

StagedFile::StagedFile(std::string finalPath) : path(std::move(finalPath))
{
  // A name of its own for each run: the clock in ticks, which two renders
  // started side by side do not share.
  const fs::path target = ThrumwellHost::PathFromUtf8(path);
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path staged = target.parent_path() / ThrumwellHost::PathFromUtf8("." + target.filename().u8string() + ".partial-"
                                                      + std::to_string(static_cast<long long>(ticks)));
  temporary = staged.u8string();
}

void StagedFile::Discard()
{
  if (!committed)
  {
    std::error_code ignored;
    fs::remove(ThrumwellHost::PathFromUtf8(temporary), ignored);
  }
}

bool StagedFile::Commit(std::string& error)
{
  std::error_code failed;
  fs::rename(ThrumwellHost::PathFromUtf8(temporary), ThrumwellHost::PathFromUtf8(path), failed);
  if (failed)
  {
    error = "cannot name the finished file \"" + path + "\": " + failed.message();
    return false;
  }
  committed = true;
  return true;
}
