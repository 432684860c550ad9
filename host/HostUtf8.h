#pragma once
// Names and texts the system hands over, as UTF-8 everywhere in the host and
// the tools whatever the platform: a file name the user typed (any script,
// any emoji) reaches the file system unchanged. On Windows the C runtime's
// narrow functions read their names in the ANSI code page, which holds few of
// those characters, so files and the environment are reached through the
// wide functions instead; on Linux the bytes go to the system as they are.
// Paths in std::filesystem are made with PathFromUtf8 (std::filesystem::u8path
// throws on Windows for text that is not UTF-8, such as a name in a session
// file saved in another encoding) and read back with u8string().

#include <cstdio>
#include <filesystem>
#include <string>

namespace ThrumwellHost
{

// The path of a UTF-8 name. Never throws: on Windows what is not UTF-8 in
// it becomes U+FFFD, a name no file has; on Linux the bytes stand as they are.
std::filesystem::path PathFromUtf8(const std::string& path);

// std::fopen of a UTF-8 name.
std::FILE* OpenFile(const std::string& path, const char* mode);

// The value of an environment variable as UTF-8, or "" when it is not set.
std::string EnvironmentText(const char* name);

// Sets an environment variable, from UTF-8, for this process and its
// children; an empty value removes it.
void SetEnvironmentText(const std::string& name, const std::string& value);

#ifdef _WIN32
// UTF-8 to UTF-16 and back; text that is not valid UTF-8 gets the
// replacement character where it breaks, never a crash.
std::wstring WideText(const std::string& utf8);
std::string Utf8Text(const std::wstring& wide);
#endif

}  // namespace ThrumwellHost
