// Linux half of the PNG loader: images come from the tables compiled into
// this module, and file names are UTF-8 already.

#include "raster/LICE_EmbeddedPng.h"
#include "raster/LICE_Png.h"
#include "raster/LICE_PngShared.h"

namespace {

// Filled during static initialisation only, so reading it needs no lock.
LICE_EmbeddedPngTable* embeddedTables = nullptr;

}  // namespace

void LICE_RegisterEmbeddedPngs(LICE_EmbeddedPngTable* table)
{
  if (table) {
    table->next = embeddedTables;
    embeddedTables = table;
  }
}

const LICE_EmbeddedPng* LICE_FindEmbeddedPng(int number)
{
  const int wanted = number & 0xFFFF;
  for (const LICE_EmbeddedPngTable* t = embeddedTables; t; t = t->next) {
    for (int i = 0; i < t->count; ++i) {
      if (t->entries[i].number == wanted) {
        return &t->entries[i];
      }
    }
  }
  return nullptr;
}

// A module handle names no table here: a module only ever sees its own.
LICE_IBitmap* LICE_DecodePngResource(LICE_ModuleHandle, int number, LICE_IBitmap* target)
{
  const LICE_EmbeddedPng* image = LICE_FindEmbeddedPng(number);
  if (!image || image->size <= 7 || !image->data) {
    return nullptr;
  }
  return LICE_DecodePngMemory(image->data, image->size, target);
}

std::FILE* lice_png::OpenFileUtf8(const char* path, bool forWriting)
{
  return std::fopen(path, forWriting ? "wb" : "rb");
}
