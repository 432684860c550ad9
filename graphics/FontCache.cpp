#include "graphics/FontCache.h"

#include "raster/LICE_CachedFont.h"

FontCache& FontCache::Shared()
{
  static FontCache cache;
  return cache;
}

FontCache::~FontCache()
{
  for (auto& e : entries) delete e.font;
}

LICE_CachedFont* FontCache::Find(int size, int orientation, int style, const char* face) const
{
  std::lock_guard<std::mutex> hold(lock);
  for (const auto& e : entries)
    if (e.size == size && e.orientation == orientation && e.style == style && e.face == (face ? face : ""))
      return e.font;
  return nullptr;
}

void FontCache::Add(int size, int orientation, int style, const char* face, LICE_CachedFont* font)
{
  if (!font) return;
  std::lock_guard<std::mutex> hold(lock);
  entries.push_back({size, orientation, style, face ? face : "", font});
}
