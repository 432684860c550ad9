#include "tools/bed/SoundFileOpen.h"

SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info) { return sf_open(path.c_str(), mode, info); }
