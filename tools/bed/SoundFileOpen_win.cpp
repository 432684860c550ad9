#include "tools/bed/SoundFileOpen.h"

#include "host/HostUtf8.h"

SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info)
{
  return sf_wchar_open(ThrumwellHost::WideText(path).c_str(), mode, info);
}
