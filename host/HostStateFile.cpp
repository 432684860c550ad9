#include "host/HostStateFile.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace ThrumwellHost
{

bool ReadStateFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes)
{
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteStateFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
  std::filesystem::path temporary = path;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail())
    {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (!error)
    return true;
  std::filesystem::remove(temporary, error);
  return false;
}

}  // namespace ThrumwellHost
