// Every test program that runs the tools works in a folder of its own, made
// fresh under "scratch" beside it, so that two runs of the tests in one build
// tree never write the same file. Under Wine a file that one process writes
// cannot be opened for writing by another ("Sharing violation"), and on any
// system one run would read what the other wrote. The folder goes when every
// test passed and stays otherwise: what the tools wrote shows why.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace {

class ScratchDirectory : public ::testing::Environment
{
public:
  void SetUp() override
  {
    namespace fs = std::filesystem;
    std::error_code error;
    home_ = fs::current_path(error);
    if (error)
      return;
    fs::create_directories(home_ / "scratch", error);
    std::mt19937_64 random(std::random_device{}() ^
                           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    // create_directory says false for a folder that was there already, so
    // the folder this process enters is its own.
    for (int attempt = 0; attempt < 100; ++attempt)
    {
      const fs::path candidate = home_ / "scratch" / std::to_string(random() % 1000000000);
      if (fs::create_directory(candidate, error) && !error)
      {
        fs::current_path(candidate, error);
        if (!error)
          path_ = candidate;
        return;
      }
    }
  }

  void TearDown() override
  {
    if (path_.empty())
      return;
    std::error_code error;
    std::filesystem::current_path(home_, error);
    if (::testing::UnitTest::GetInstance()->Passed())
      std::filesystem::remove_all(path_, error);
  }

private:
  std::filesystem::path home_;
  std::filesystem::path path_;
};

[[maybe_unused]] ::testing::Environment* const kScratch = ::testing::AddGlobalTestEnvironment(new ScratchDirectory);

}  // namespace
