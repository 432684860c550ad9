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
  for (Variant& v : variants) delete v.bitmap;
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

bool ImageCache::SplitHolding(const LICE_IBitmap* half, Split& split) const
{
  std::lock_guard<std::mutex> hold(lock);
  for (const Split& s : splits)
    if (half && (s.left == half || s.right == half))
    {
      split = s;
      return true;
    }
  return false;
}

int ImageCache::NumberOf(const LICE_IBitmap* bitmap) const
{
  std::lock_guard<std::mutex> hold(lock);
  for (const auto& e : entries)
    if (bitmap && e.second == bitmap && e.first > 0) return e.first;
  return 0;
}

LICE_IBitmap* ImageCache::FindVariant(const LICE_IBitmap* base, int scale, bool& known) const
{
  std::lock_guard<std::mutex> hold(lock);
  for (const Variant& v : variants)
    if (v.base == base && v.scale == scale)
    {
      known = true;
      return v.bitmap;
    }
  known = false;
  return nullptr;
}

LICE_IBitmap* ImageCache::AddVariant(const LICE_IBitmap* base, int scale, LICE_IBitmap* variant)
{
  std::lock_guard<std::mutex> hold(lock);
  for (const Variant& v : variants)
    if (v.base == base && v.scale == scale)
    {
      if (variant != v.bitmap) delete variant;
      return v.bitmap;
    }
  variants.push_back({base, scale, variant});
  return variant;
}
