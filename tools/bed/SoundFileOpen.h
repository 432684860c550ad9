#pragma once
// libsndfile's open of a UTF-8 file name on every platform: sf_open takes
// the name in the ANSI code page on Windows, so there the name goes through
// sf_wchar_open instead (SoundFileOpen_win.cpp, SoundFileOpen_linux.cpp).

#include <sndfile.h>

#include <string>

SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info);
