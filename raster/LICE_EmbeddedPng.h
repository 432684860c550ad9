#pragma once
//! The PNG images a Linux module carries. Windows modules hold them as "PNG"
//! resources; on Linux the build compiles a table of the same images, under
//! the same numbers, into each module or program that carries them (see
//! thrumwell_embed_resources), and LICE_DecodePngResource reads from it.

#include <cstddef>

struct LICE_EmbeddedPng
{
  int number;
  const unsigned char* data;
  std::size_t size;
};

//! One module's table. The generated source registers it during static
//! initialisation, before any thread can look images up; lookups only read.
struct LICE_EmbeddedPngTable
{
  const LICE_EmbeddedPng* entries;
  int count;
  LICE_EmbeddedPngTable* next;
};

void LICE_RegisterEmbeddedPngs(LICE_EmbeddedPngTable* table);

//! The bytes of image `number` (low 16 bits compared), or null.
const LICE_EmbeddedPng* LICE_FindEmbeddedPng(int number);
