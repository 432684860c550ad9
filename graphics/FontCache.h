#pragma once
//! Process-wide cache of the fonts made for text styles, shared by every
//! editor of the process. Fonts live until the module unloads.

#include <mutex>
#include <string>
#include <vector>

class LICE_CachedFont;

class FontCache
{
public:
  static FontCache& Shared();

  //! Compares size, orientation, style bits and face; null when absent.
  LICE_CachedFont* Find(int size, int orientation, int style, const char* face) const;
  //! Appends; the cache owns the font from now on. A null font is ignored.
  void Add(int size, int orientation, int style, const char* face, LICE_CachedFont* font);

  FontCache() = default;
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

private:
  struct Entry
  {
    int size;
    int orientation;
    int style;
    std::string face;
    LICE_CachedFont* font;
  };
  // Shared by all editors; held for one lookup or one insertion only.
  mutable std::mutex lock;
  std::vector<Entry> entries;
};
