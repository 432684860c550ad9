#include "graphics/ImageCache.h"

#include "raster/LICE_Bitmap.h"

ImageCache& ImageCache::Shared()
{
  static ImageCache cache;
  return cache;
}

ImageCache::~ImageCache()
{
  for (auto& e : entries) delete e.second;
  for (LICE_IBitmap* b : unnamed) delete b;
}

LICE_IBitmap* ImageCache::Find(int id) const
{
  std::lock_guard<std::mutex> hold(lock);
  for (const auto& e : entries)
    if (e.first == id) return e.second;
  return nullptr;
}

void ImageCache::Add(int id, LICE_IBitmap* bitmap)
{
  if (!bitmap) return;
  std::lock_guard<std::mutex> hold(lock);
  entries.emplace_back(id, bitmap);
}

void ImageCache::Adopt(LICE_IBitmap* bitmap)
{
  if (!bitmap) return;
  std::lock_guard<std::mutex> hold(lock);
  unnamed.push_back(bitmap);
}

int ImageCache::NextSplitId()
{
  std::lock_guard<std::mutex> hold(lock);
  return --lastSplitId;
}
