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
  //! The split whose left or right half is `half`; false when none is.
  bool SplitHolding(const LICE_IBitmap* half, Split& split) const;
  //! The positive id (resource number) of a cached bitmap; 0 when it has none.
  int NumberOf(const LICE_IBitmap* bitmap) const;

  //! The same picture drawn `scale` times as large, for scaled editors.
  //! `known` says whether it was looked for before (null then means there is
  //! none); the cache owns variants as it owns the pictures.
  LICE_IBitmap* FindVariant(const LICE_IBitmap* base, int scale, bool& known) const;
  //! Records what was found for base at scale (null: none) and answers the
  //! variant the cache keeps: the first record for a base and scale stays
  //! (a later one, made meanwhile by another editor, is deleted).
  LICE_IBitmap* AddVariant(const LICE_IBitmap* base, int scale, LICE_IBitmap* variant);

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
  struct Variant
  {
    const LICE_IBitmap* base;
    int scale;
    LICE_IBitmap* bitmap;
  };
  std::vector<Variant> variants;
  int lastSplitId = -1;
};
