#include "host/HostUtf8.h"

#include <cstdlib>

namespace ThrumwellHost
{

std::filesystem::path PathFromUtf8(const std::string& path) { return std::filesystem::path(path); }

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::string EnvironmentText(const char* name)
{
  const char* value = std::getenv(name);
  return value ? value : "";
}

void SetEnvironmentText(const std::string& name, const std::string& value)
{
  if (value.empty())
    unsetenv(name.c_str());
  else
    setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace ThrumwellHost
