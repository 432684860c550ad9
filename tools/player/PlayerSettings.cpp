#include "tools/player/PlayerSettings.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "host/HostStateFile.h"
#include "tools/player/PlayerPlatform.h"

namespace {

const char* kStateFile = "state.bin";
const char* kDeviceFile = "device.txt";

int WholeNumber(const std::string& text)
{
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0' && value > 0 && value < 1000000 ? static_cast<int>(value) : 0;
}

}  // namespace

std::filesystem::path PlayerSettings::Folder() { return PlayerConfigFolder(); }

void PlayerSettings::Load()
{
  const std::filesystem::path folder = Folder();
  if (folder.empty())
    return;
  if (!ThrumwellHost::ReadStateFile(folder / kStateFile, state))
    state.clear();
  std::ifstream in(folder / kDeviceFile);
  std::string line;
  while (std::getline(in, line))
  {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
      continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "api")
      device.api = value;
    else if (key == "device")
      device.device = value;
    else if (key == "rate")
      device.rate = WholeNumber(value);
    else if (key == "buffer")
      device.buffer = WholeNumber(value);
  }
}

bool PlayerSettings::Save() const
{
  const std::filesystem::path folder = Folder();
  if (folder.empty())
    return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::ostringstream text;
  text << "api=" << device.api << "\ndevice=" << device.device << "\nrate=" << device.rate
       << "\nbuffer=" << device.buffer << "\n";
  const std::string lines = text.str();
  bool ok = ThrumwellHost::WriteStateFile(folder / kDeviceFile, std::vector<std::uint8_t>(lines.begin(), lines.end()));
  if (!state.empty())
    ok = ThrumwellHost::WriteStateFile(folder / kStateFile, state) && ok;
  return ok;
}
