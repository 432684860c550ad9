#pragma once
// What a render leaves in its folder while it writes and after it ended, for
// the tests that interrupt it.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

// A text file's content, its line ends as "\n" (Windows writes "\r\n").
inline std::string ReadText(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// The names in folder.
inline std::set<std::string> Listing(const std::filesystem::path& folder)
{
  std::set<std::string> names;
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().u8string());
  return names;
}

// The size of the render's temporary file in folder; -1 while there is none.
inline long long StagedSize(const std::filesystem::path& folder)
{
  std::error_code error;
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().filename().u8string().find(".partial-") != std::string::npos)
    {
      const auto size = std::filesystem::file_size(entry.path(), error);
      return error ? 0 : static_cast<long long>(size);
    }
  return -1;
}

// Waits up to a minute for the temporary file to hold more than `bytes`.
inline bool WaitUntilWriting(const std::filesystem::path& folder, long long bytes)
{
  for (int i = 0; i < 6000; ++i)
  {
    if (StagedSize(folder) > bytes)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}
