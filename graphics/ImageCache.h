#pragma once
//! Process-wide cache of the editor's decoded images, shared by every editor
//! of the process. Positive ids are resource numbers; negative ids name the
//! left halves made by IGraphics::SplitImage.

#include <mutex>
#include <utility>
#include <vector>

class LICE_IBitmap;

class ImageCache
{
public:
  //! The one cache of the process; its bitmaps live until the module unloads.
  static ImageCache& Shared();

  //! Linear search from the first entry; null when absent.
  LICE_IBitmap* Find(int id) const;
  //! Appends; the cache owns the bitmap from now on. A null bitmap is ignored.
  void Add(int id, LICE_IBitmap* bitmap);
  //! Hands out the next negative id for a split image: -2, -3, ... Ids are
  //! counted per process, not per editor, so that two editors never file
  //! different images under one id.
  int NextSplitId();
  //! Takes ownership of a bitmap that no id names (the right half of a split).
  void Adopt(LICE_IBitmap* bitmap);

  //! A split of a cached image made before: every editor of the process
  //! splits the same images the same way, and each split is kept once, not
  //! once per plug-in instance.
  struct Split
  {
    const LICE_IBitmap* source = nullptr;
    int leftWidth = 0;
    int id = 0;
    LICE_IBitmap* left = nullptr;
    LICE_IBitmap* right = nullptr;
  };
  //! The split of source at leftWidth, when source is a bitmap of this cache
  //! that was split so before; false otherwise.
  bool FindSplit(const LICE_IBitmap* source, int leftWidth, Split& split) const;
  //! Records a split made of a bitmap of this cache (others are not kept, as
  //! their address may later name another bitmap); the cache already owns
  //! its halves.
  void RecordSplit(const Split& split);

  ImageCache() = default;
  ~ImageCache();
  ImageCache(const ImageCache&) = delete;
  ImageCache& operator=(const ImageCache&) = delete;

private:
  // Editors on different user-interface threads share the list; the lock is
  // held for one lookup or one insertion only.
  mutable std::mutex lock;
  std::vector<std::pair<int, LICE_IBitmap*>> entries;
  std::vector<LICE_IBitmap*> unnamed;
  std::vector<Split> splits;
  int lastSplitId = -1;
};
