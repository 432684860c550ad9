#pragma once
//! Bitmaps of the raster library: 32-bit pixels, straight (never premultiplied)
//! alpha, addressed top-down. Every drawing operation in raster/ works on a
//! LICE_IBitmap, whatever holds the pixels.

#include <cstdint>

//! One pixel, 0xAARRGGBB in a 32-bit word; in memory blue, green, red, alpha,
//! the byte order of a 32-bit Windows DIB.
using LICE_PixelWord = std::uint32_t;

//! The combine-mode word taken by every drawing operation.
using LICE_ComposeMode = std::uint32_t;

//! Combine codes (bits 0-7).
constexpr LICE_ComposeMode ComposeCopy = 0x0;
constexpr LICE_ComposeMode ComposeAdd = 0x1;
constexpr LICE_ComposeMode ComposeDodge = 0x2;
constexpr LICE_ComposeMode ComposeMultiply = 0x3;
constexpr LICE_ComposeMode ComposeOverlay = 0x4;
constexpr LICE_ComposeMode ComposeHsvShift = 0x5;
//! 0xF0-0xFF: copy source byte (bits 0-1) into destination byte (bits 2-3);
//! bytes are 0 blue, 1 green, 2 red, 3 alpha. Only LICE_CopyRegion honours it.
constexpr LICE_ComposeMode ComposeChannelCopy = 0xF0;
constexpr LICE_ComposeMode ComposeCodeMask = 0xFF;
//! Flags.
constexpr LICE_ComposeMode ComposeBilinear = 0x100;
constexpr LICE_ComposeMode ComposeSourceAlpha = 0x10000;
constexpr LICE_ComposeMode ComposeUnscaled = 0x20000;

//! Query id answering a bitmap's display scale in 1/256 units (0: none).
constexpr int LICE_QueryDisplayScale = 8193;

//! GDI device context handle; stays null on platforms without GDI. Declared
//! the way <windows.h> declares HDC, so that both names are the same type.
struct HDC__;
using LICE_DeviceContext = HDC__*;

//! Abstract bitmap. Drawing is done by one thread at a time; nothing here locks.
class LICE_IBitmap
{
public:
  virtual ~LICE_IBitmap() = default;

  //! Address of pixel (0, 0); null when the bitmap holds no pixels.
  virtual LICE_PixelWord* Pixels() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  //! Distance between rows in pixels; at least Width().
  virtual int RowStride() const = 0;
  //! True when row y lives at memory row Height() - 1 - y. No bitmap here is.
  virtual bool IsBottomUp() const { return false; }
  //! Resizes; true when something changed. Pixels are neither kept nor
  //! cleared. A size that cannot be held leaves a 0 x 0 bitmap; never throws.
  virtual bool SetSize(int width, int height) = 0;
  //! GDI device context selecting the pixels, or null.
  virtual LICE_DeviceContext DeviceContext() const { return nullptr; }
  virtual std::intptr_t Query(int id, void* data)
  {
    (void)id;
    (void)data;
    return 0;
  }
};

//! Bitmap in heap memory; pixels 64-byte aligned, rows padded to the
//! alignment given at construction, storage grown with 25 % headroom and
//! never shrunk.
class LICE_MemBitmap : public LICE_IBitmap
{
public:
  //! rowAlignment in pixels (1 or less: none); 4 is what the editor uses.
  explicit LICE_MemBitmap(int width = 0, int height = 0, int rowAlignment = 0);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_PixelWord* Pixels() override;
  int Width() const override { return width; }
  int Height() const override { return height; }
  int RowStride() const override { return (width + alignMask) & ~alignMask; }
  bool SetSize(int width, int height) override;

private:
  std::uint8_t* buffer = nullptr;
  int width = 0;
  int height = 0;
  int allocated = 0;  // bytes of pixel storage in buffer, without the 63 spare
  int alignMask = 0;
};

//! Bitmap the platform can show. On Windows a top-down 32-bit DIB section
//! selected into its own memory device context, so that GDI draws into it and
//! the window copies from it; elsewhere the same sizing rules over memory the
//! object owns, with no device context. Rows are padded to 4 pixels and the
//! storage is kept when the bitmap shrinks.
class LICE_SysBitmap : public LICE_IBitmap
{
public:
  explicit LICE_SysBitmap(int width = 0, int height = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_PixelWord* Pixels() override { return bits; }
  int Width() const override { return width; }
  int Height() const override { return height; }
  int RowStride() const override { return allocatedWidth; }
  bool SetSize(int width, int height) override;
  LICE_DeviceContext DeviceContext() const override { return dc; }
  std::intptr_t Query(int id, void* data) override;

private:
  int width = 0;
  int height = 0;
  LICE_DeviceContext dc = nullptr;
  LICE_PixelWord* bits = nullptr;
  int allocatedWidth = 0;
  int allocatedHeight = 0;
  void* section = nullptr;         // HBITMAP on Windows; the owned block elsewhere
  [[maybe_unused]] void* previousBitmap = nullptr;  // what the DC held before the section (Windows only)
  int displayScale = 0;
};
