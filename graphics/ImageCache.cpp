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

bool ImageCache::FindSplit(const LICE_IBitmap* source, int leftWidth, Split& split) const
{
  std::lock_guard<std::mutex> hold(lock);
  for (const Split& s : splits)
    if (s.source == source && s.leftWidth == leftWidth)
    {
      split = s;
      return true;
    }
  return false;
}

void ImageCache::RecordSplit(const Split& split)
{
  std::lock_guard<std::mutex> hold(lock);
  for (const auto& e : entries)
    if (e.second == split.source)
    {
      splits.push_back(split);
      return;
    }
}
