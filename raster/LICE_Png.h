#pragma once
//! PNG images into bitmaps. Every PNG kind arrives as straight (never
//! premultiplied) 0xAARRGGBB pixels, alpha 255 where the image has none.
//! Calls share no state except the default resource module; they may run on
//! any thread, one call per target bitmap at a time.

#include <cstddef>

#include "raster/LICE_Bitmap.h"

//! Instance handle of a module, declared the way <windows.h> declares
//! HINSTANCE so that both names are the same type.
struct HINSTANCE__;
using LICE_ModuleHandle = HINSTANCE__*;

//! Each decoder returns the bitmap, or null on any failure (missing or short
//! data, bad signature, corrupt or truncated image, allocation failure). A
//! given target is resized to the image and returned; on failure it may have
//! been resized but stays the caller's. Without a target a new LICE_MemBitmap
//! (rows aligned to 4 pixels) is returned and the caller owns it.

//! The PNG resource `number` (low 16 bits) of `module`; a null module means
//! the one set by LICE_SetPngResourceModule. Windows reads the module's "PNG"
//! resources; Linux reads the image table compiled into the module.
LICE_IBitmap* LICE_DecodePngResource(LICE_ModuleHandle module, int number, LICE_IBitmap* target = nullptr);
LICE_IBitmap* LICE_DecodePngMemory(const void* data, std::size_t length, LICE_IBitmap* target = nullptr);
//! `path` is UTF-8.
LICE_IBitmap* LICE_DecodePngFile(const char* path, LICE_IBitmap* target = nullptr);

//! The module whose resources a null module handle means. The plug-in module
//! records its own handle here when it is loaded; until then it is null,
//! which on Windows is the program's own executable.
void LICE_SetPngResourceModule(LICE_ModuleHandle module);
LICE_ModuleHandle LICE_GetPngResourceModule();

//! True when the last extension of `path` (the text from the last '.', '/'
//! or backslash) is ".png", in any case.
bool LICE_IsPngFileName(const char* path);

//! One entry of the process-wide list of image-file readers: a reader that
//! refuses files it does not recognise by name, and the file-type text that
//! goes with it. The PNG reader is entered at the head when the module loads.
struct LICE_ImageFileReader
{
  LICE_IBitmap* (*read)(const char* path, LICE_IBitmap* target);
  const char* description;
  LICE_ImageFileReader* next;
};
LICE_ImageFileReader* LICE_ImageFileReaders();
