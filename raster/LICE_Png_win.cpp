// Windows half of the PNG loader: the module's "PNG" resources, and UTF-8
// file names opened through their wide form.

#include <windows.h>

#include <cstdio>

#include "raster/LICE_Png.h"
#include "raster/LICE_PngShared.h"

LICE_IBitmap* LICE_DecodePngResource(LICE_ModuleHandle module, int number, LICE_IBitmap* target)
{
  if (!module) {
    module = LICE_GetPngResourceModule();
  }
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(number & 0xFFFF), "PNG");
  if (!resource) {
    return nullptr;
  }
  const DWORD size = SizeofResource(module, resource);
  if (size <= 7) {
    return nullptr;
  }
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) {
    return nullptr;
  }
  // Resource memory is mapped with the module and needs no release.
  return LICE_DecodePngMemory(data, size, target);
}

std::FILE* lice_png::OpenFileUtf8(const char* path, bool forWriting)
{
  wchar_t wide[2048];
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, 2048);
  if (n > 0) {
    if (std::FILE* file = _wfopen(wide, forWriting ? L"wb" : L"rb")) {
      return file;
    }
  }
  return std::fopen(path, forWriting ? "wb" : "rb");
}
