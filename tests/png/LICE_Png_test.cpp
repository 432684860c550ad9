// The PNG loader: every colour type and bit depth arrives as straight
// 0xAARRGGBB words; broken files are refused without leaks or stray writes;
// resources are found by number; the writer's files read back unchanged.

#include "raster/LICE_Png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "raster/LICE_Bitmap.h"
#include "raster/LICE_PngWrite.h"
#include "tests/png/PngFixtures.h"

namespace {

using Bitmap = std::unique_ptr<LICE_IBitmap>;

std::vector<LICE_PixelWord> PixelsOf(LICE_IBitmap* bm)
{
  std::vector<LICE_PixelWord> out;
  for (int y = 0; y < bm->Height(); ++y) {
    for (int x = 0; x < bm->Width(); ++x) {
      out.push_back(bm->Pixels()[y * bm->RowStride() + x]);
    }
  }
  return out;
}

Bitmap Decode(const PngBytes& png)
{
  return Bitmap(LICE_DecodePngMemory(png.data(), png.size()));
}

// 3 x 2 pixels of red, green, blue, alpha samples and the words they become.
const std::vector<unsigned> rgbaSamples = {
  255, 0, 0, 255,  0, 255, 0, 128,  0, 0, 255, 0,
  10, 20, 30, 40,  200, 100, 50, 1,  1, 2, 3, 254,
};

// Palette entry i is i * 0x010203.
std::vector<std::uint32_t> Ramp(int entries)
{
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < entries; ++i) {
    palette.push_back(std::uint32_t(i) * 0x010203);
  }
  return palette;
}

struct ColourCase
{
  const char* name;
  PngFixture fixture;
  std::vector<LICE_PixelWord> expected;
};

// Every colour type at every bit depth the format allows, with and without
// tRNS. Low bit depths scale up by repeating their bits (1 -> 255, 2-bit 1
// -> 0x55, 4-bit 7 -> 0x77); 16-bit samples keep their high byte.
std::vector<ColourCase> ColourCases()
{
  return {
    {"rgb 8", {3, 1, 2, 8, false, {255, 0, 0, 0, 255, 0, 10, 20, 30}, {}, {}, ""},
     {0xFFFF0000, 0xFF00FF00, 0xFF0A141E}},
    {"rgba 8 keeps alpha, colours unmultiplied", {3, 2, 6, 8, false, rgbaSamples, {}, {}, ""},
     {0xFFFF0000, 0x8000FF00, 0x000000FF, 0x280A141E, 0x01C86432, 0xFE010203}},
    {"rgb 8 with tRNS", {2, 1, 2, 8, false, {1, 2, 3, 1, 2, 4}, {}, {1, 2, 3}, ""},
     {0x00010203, 0xFF010204}},
    {"rgb 16 keeps high bytes", {2, 1, 2, 16, false, {0x12FF, 0x3400, 0x56AB, 0xFFFF, 0x00FF, 0x8080}, {}, {}, ""},
     {0xFF123456, 0xFFFF0080}},
    {"rgba 16", {1, 1, 6, 16, false, {0xAB01, 0xCD02, 0xEF03, 0x7F04}, {}, {}, ""}, {0x7FABCDEF}},
    {"rgb 16 with tRNS", {2, 1, 2, 16, false, {0x1234, 0x5678, 0x9ABC, 0x1234, 0x5678, 0x9ABD}, {}, {0x1234, 0x5678, 0x9ABC}, ""},
     {0x0012569A, 0xFF12569A}},
    {"grey 1", {4, 1, 0, 1, false, {0, 1, 1, 0}, {}, {}, ""}, {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}},
    {"grey 2", {4, 1, 0, 2, false, {0, 1, 2, 3}, {}, {}, ""}, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
    {"grey 4", {3, 1, 0, 4, false, {0, 7, 15}, {}, {}, ""}, {0xFF000000, 0xFF777777, 0xFFFFFFFF}},
    {"grey 8", {3, 1, 0, 8, false, {0, 0x80, 0xFF}, {}, {}, ""}, {0xFF000000, 0xFF808080, 0xFFFFFFFF}},
    {"grey 16", {2, 1, 0, 16, false, {0x80FF, 0x0100}, {}, {}, ""}, {0xFF808080, 0xFF010101}},
    {"grey 8 with tRNS", {3, 1, 0, 8, false, {5, 6, 7}, {}, {6}, ""}, {0xFF050505, 0x00060606, 0xFF070707}},
    {"grey 2 with tRNS", {4, 1, 0, 2, false, {0, 1, 2, 3}, {}, {2}, ""},
     {0xFF000000, 0xFF555555, 0x00AAAAAA, 0xFFFFFFFF}},
    {"grey 16 with tRNS", {2, 1, 0, 16, false, {0x1234, 0x1235}, {}, {0x1234}, ""}, {0x00121212, 0xFF121212}},
    {"grey+alpha 8", {2, 1, 4, 8, false, {9, 0, 200, 99}, {}, {}, ""}, {0x00090909, 0x63C8C8C8}},
    {"grey+alpha 16", {1, 1, 4, 16, false, {0xA0FF, 0x0F00}, {}, {}, ""}, {0x0FA0A0A0}},
    {"palette 1", {4, 1, 3, 1, false, {0, 1, 1, 0}, {0x102030, 0xFFEEDD}, {}, ""},
     {0xFF102030, 0xFFFFEEDD, 0xFFFFEEDD, 0xFF102030}},
    {"palette 2", {4, 1, 3, 2, false, {3, 2, 1, 0}, {0x000001, 0x000002, 0x000003, 0x000004}, {}, ""},
     {0xFF000004, 0xFF000003, 0xFF000002, 0xFF000001}},
    {"palette 4", {2, 1, 3, 4, false, {15, 1}, Ramp(16), {}, ""}, {0xFF0F1E2D, 0xFF010203}},
    {"palette 8 with tRNS", {3, 1, 3, 8, false, {0, 1, 2}, {0xFF0000, 0x00FF00, 0x0000FF}, {0, 128}, ""},
     {0x00FF0000, 0x8000FF00, 0xFF0000FF}},
  };
}

TEST(PngDecode, EveryColourTypeAndBitDepth)
{
  for (const ColourCase& c : ColourCases()) {
    SCOPED_TRACE(c.name);
    const PngBytes png = EncodePng(c.fixture);
    ASSERT_FALSE(png.empty());
    Bitmap bm = Decode(png);
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->Width(), c.fixture.width);
    EXPECT_EQ(bm->Height(), c.fixture.height);
    EXPECT_EQ(PixelsOf(bm.get()), c.expected);
  }
}

TEST(PngDecode, NewBitmapsAreMemoryBitmapsWithRowsAlignedToFourPixels)
{
  Bitmap bm = Decode(EncodePng({5, 3, 6, 8, false, {}, {}, {}, ""}));
  ASSERT_TRUE(bm);
  EXPECT_NE(dynamic_cast<LICE_MemBitmap*>(bm.get()), nullptr);
  EXPECT_EQ(bm->RowStride(), 8);
}

// A pattern that differs in every pixel, so a pixel placed by the wrong
// interlace pass shows.
PngFixture Pattern(int width, int height, bool interlaced)
{
  PngFixture f{width, height, 6, 8, interlaced, {}, {}, {}, ""};
  for (int i = 0; i < width * height; ++i) {
    f.samples.insert(f.samples.end(), {unsigned(i * 7 % 256), unsigned(i % 251), unsigned(i / 3 % 256), unsigned(255 - i % 256)});
  }
  return f;
}

TEST(PngDecode, InterlacedImagesMatchTheirPlainForm)
{
  for (int size : {1, 5, 9, 17}) {
    SCOPED_TRACE(size);
    Bitmap plain = Decode(EncodePng(Pattern(size, size + 2, false)));
    Bitmap interlaced = Decode(EncodePng(Pattern(size, size + 2, true)));
    ASSERT_TRUE(plain && interlaced);
    EXPECT_EQ(PixelsOf(interlaced.get()), PixelsOf(plain.get()));
  }
}

TEST(PngDecode, AncillaryChunksDoNotChangeThePixels)
{
  PngFixture f = Pattern(4, 4, false);
  Bitmap plain = Decode(EncodePng(f));
  f.text = "Thrumwell";
  Bitmap withText = Decode(EncodePng(f));
  ASSERT_TRUE(plain && withText);
  EXPECT_EQ(PixelsOf(withText.get()), PixelsOf(plain.get()));
}

TEST(PngDecode, IntoAnExistingBitmapResizesIt)
{
  const PngBytes png = EncodePng({3, 2, 6, 8, false, rgbaSamples, {}, {}, ""});
  const std::vector<LICE_PixelWord> expected = PixelsOf(Decode(png).get());

  LICE_MemBitmap mem(7, 9, 4);
  EXPECT_EQ(LICE_DecodePngMemory(png.data(), png.size(), &mem), &mem);
  EXPECT_EQ(mem.Width(), 3);
  EXPECT_EQ(mem.Height(), 2);
  EXPECT_EQ(PixelsOf(&mem), expected);

  // A system bitmap keeps its wider storage when it shrinks: rows must be
  // addressed by its stride, not by the image width.
  LICE_SysBitmap sys(40, 40);
  ASSERT_EQ(LICE_DecodePngMemory(png.data(), png.size(), &sys), &sys);
  EXPECT_EQ(sys.Width(), 3);
  EXPECT_EQ(sys.Height(), 2);
  EXPECT_EQ(PixelsOf(&sys), expected);
}

TEST(PngDecode, RefusesWhatIsNoPng)
{
  const PngBytes png = EncodePng(Pattern(2, 2, false));
  EXPECT_EQ(LICE_DecodePngMemory(nullptr, 100), nullptr);
  EXPECT_EQ(LICE_DecodePngMemory(png.data(), 0), nullptr);
  EXPECT_EQ(LICE_DecodePngMemory(png.data(), 7), nullptr);
  for (std::size_t at : {0, 1, 4, 7}) {
    PngBytes bad = png;
    bad[at] ^= 0x20;
    EXPECT_EQ(Decode(bad), nullptr) << "signature byte " << at;
  }
}

// Cut anywhere before the end chunk, the image is refused (the missing bytes
// read as zeros and break a chunk or its CRC); the end chunk itself is never
// read, so a cut inside it still decodes.
TEST(PngDecode, TruncatedFilesAreRefusedUpToTheEndChunk)
{
  const PngBytes png = EncodePng(Pattern(6, 5, false));
  const std::size_t end = FindChunk(png, "IEND");
  ASSERT_NE(end, std::string::npos);
  for (std::size_t length = 8; length < png.size(); ++length) {
    Bitmap bm(LICE_DecodePngMemory(png.data(), length));
    EXPECT_EQ(bm != nullptr, length >= end) << "cut at " << length << " of " << png.size();
  }
}

TEST(PngDecode, CorruptCriticalChunksAreRefused)
{
  const PngBytes png = EncodePng(Pattern(4, 4, false));
  struct Damage
  {
    const char* chunk;
    std::size_t byteInChunk;  // from the chunk's length field
  };
  // The CRC itself, the header's data, the image data, an impossible length.
  const Damage damages[] = {{"IHDR", 8 + 13}, {"IHDR", 8}, {"IDAT", 8 + 2}, {"IDAT", 0}};
  for (const Damage& d : damages) {
    SCOPED_TRACE(std::string(d.chunk) + " byte " + std::to_string(d.byteInChunk));
    PngBytes bad = png;
    const std::size_t at = FindChunk(bad, d.chunk);
    ASSERT_NE(at, std::string::npos);
    bad[at + d.byteInChunk] ^= 0x81;
    EXPECT_EQ(Decode(bad), nullptr);
  }
}

// libpng only warns about a chunk longer than its limit: an unknown one it
// skips, a known one (text) it would read into a buffer of the claimed size.
// Either must end where the data ends, without gigabytes read or allocated.
TEST(PngDecode, ChunksClaimingGigabytesPastTheEndAreRefused)
{
  for (const char* type : {"wwww", "tEXt", "zTXt", "iCCP"}) {
    SCOPED_TRACE(type);
    PngBytes png = EncodePng(Pattern(2, 2, false));
    const std::size_t at = FindChunk(png, "IDAT");
    const unsigned char chunk[] = {0x77, 0x77, 0x77, 0x77, (unsigned char)type[0], (unsigned char)type[1],
                                   (unsigned char)type[2], (unsigned char)type[3], 'a', 0, 'b'};
    png.insert(png.begin() + std::ptrdiff_t(at), chunk, chunk + sizeof chunk);
    EXPECT_EQ(Decode(png), nullptr);
  }
}

TEST(PngDecode, CorruptDataWithAValidCrcIsRefused)
{
  // A deflate stream that breaks off: CRC right, image data wrong.
  PngBytes png = EncodePng(Pattern(4, 4, false));
  const std::size_t at = FindChunk(png, "IDAT");
  png[at + 8] = 0xFF;
  png[at + 9] = 0xFF;
  FixChunkCrc(png, at);
  EXPECT_EQ(Decode(png), nullptr);
}

void SetHeaderSize(PngBytes& png, std::uint32_t width, std::uint32_t height)
{
  const std::size_t at = FindChunk(png, "IHDR");
  for (int i = 0; i < 4; ++i) {
    png[at + 8 + i] = (unsigned char)(width >> (24 - 8 * i));
    png[at + 12 + i] = (unsigned char)(height >> (24 - 8 * i));
  }
  FixChunkCrc(png, at);
}

TEST(PngDecode, ImagesTooLargeForABitmapAreRefusedBeforeSizing)
{
  PngBytes png = EncodePng(Pattern(2, 2, false));
  SetHeaderSize(png, 60000, 60000);
  LICE_MemBitmap target(3, 3, 4);
  EXPECT_EQ(LICE_DecodePngMemory(png.data(), png.size(), &target), nullptr);
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.Height(), 3);
}

TEST(PngDecode, AFailureLeavesTheCallersTargetUsable)
{
  PngBytes png = EncodePng(Pattern(4, 3, false));
  SetHeaderSize(png, 4, 30);  // rows missing from the image data
  LICE_MemBitmap target(2, 2, 4);
  EXPECT_EQ(LICE_DecodePngMemory(png.data(), png.size(), &target), nullptr);
  const PngBytes good = EncodePng(Pattern(4, 3, false));
  EXPECT_EQ(LICE_DecodePngMemory(good.data(), good.size(), &target), &target);
  EXPECT_EQ(target.Width(), 4);
  EXPECT_EQ(target.Height(), 3);
}

// The editor's images, with the sizes its layout is drawn for.
struct ResourceCase
{
  int number;
  int width, height;
};
const ResourceCase editorImages[] = {
  {100, 368, 370}, {101, 168, 84}, {102, 128, 64}, {103, 120, 30}, {104, 68, 18}, {105, 92, 18},
  {106, 92, 25},   {107, 114, 28}, {108, 80, 96},  {109, 16, 16},  {110, 108, 20},
};

TEST(PngResource, EveryEditorImageIsFoundByNumberAtItsSize)
{
  for (const ResourceCase& r : editorImages) {
    SCOPED_TRACE(r.number);
    Bitmap bm(LICE_DecodePngResource(nullptr, r.number));
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->Width(), r.width);
    EXPECT_EQ(bm->Height(), r.height);
  }
}

TEST(PngResource, OnlyTheLow16BitsOfTheNumberCount)
{
  Bitmap bm(LICE_DecodePngResource(nullptr, 0x10000 + 109));
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->Width(), 16);
}

TEST(PngResource, MissingNumbersGiveNull)
{
  for (int number : {0, 99, 111, 0xFFFF, -1}) {
    EXPECT_EQ(LICE_DecodePngResource(nullptr, number), nullptr) << number;
  }
}

TEST(PngResource, DecodesIntoAGivenTarget)
{
  LICE_MemBitmap target(1, 1, 4);
  EXPECT_EQ(LICE_DecodePngResource(nullptr, 104, &target), &target);
  EXPECT_EQ(target.Width(), 68);
  EXPECT_EQ(target.Height(), 18);
}

class PngFiles : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() / ("thrumwell-png-" + std::string(info->name()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override
  {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string PathOf(const std::string& utf8Name) const
  {
    return (dir / std::filesystem::u8path(utf8Name)).u8string();
  }
  std::filesystem::path dir;
};

LICE_MemBitmap* Gradient(int width, int height)
{
  auto* bm = new LICE_MemBitmap(width, height, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bm->Pixels()[y * bm->RowStride() + x] =
        LICE_PixelWord(x * 40 + y) << 24 | LICE_PixelWord(x * 10) << 16 | LICE_PixelWord(y * 20) << 8 | LICE_PixelWord(x + y);
    }
  }
  return bm;
}

TEST_F(PngFiles, WrittenFilesReadBackUnchanged)
{
  Bitmap source(Gradient(6, 5));
  const std::string path = PathOf("gradient.png");
  ASSERT_TRUE(LICE_WritePng(path.c_str(), source.get()));
  Bitmap back(LICE_DecodePngFile(path.c_str()));
  ASSERT_TRUE(back);
  EXPECT_EQ(PixelsOf(back.get()), PixelsOf(source.get()));
}

TEST_F(PngFiles, WritingWithoutAlphaMakesEveryPixelOpaque)
{
  Bitmap source(Gradient(3, 3));
  const std::string path = PathOf("opaque.png");
  ASSERT_TRUE(LICE_WritePng(path.c_str(), source.get(), false));
  Bitmap back(LICE_DecodePngFile(path.c_str()));
  ASSERT_TRUE(back);
  std::vector<LICE_PixelWord> expected = PixelsOf(source.get());
  for (LICE_PixelWord& p : expected) {
    p |= 0xFF000000;
  }
  EXPECT_EQ(PixelsOf(back.get()), expected);
}

TEST_F(PngFiles, Utf8NamesAreOpened)
{
  Bitmap source(Gradient(2, 2));
  const std::string path = PathOf("gr\xC3\xBC\xC3\x9F" "e-\xE2\x99\xAA.png");
  ASSERT_TRUE(LICE_WritePng(path.c_str(), source.get()));
  Bitmap back(LICE_DecodePngFile(path.c_str()));
  ASSERT_TRUE(back);
  EXPECT_EQ(PixelsOf(back.get()), PixelsOf(source.get()));
}

TEST_F(PngFiles, MissingAndBrokenFilesGiveNull)
{
  EXPECT_EQ(LICE_DecodePngFile(nullptr), nullptr);
  EXPECT_EQ(LICE_DecodePngFile(PathOf("absent.png").c_str()), nullptr);
  const std::string path = PathOf("short.png");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  const PngBytes png = EncodePng(Pattern(3, 3, false));
  std::fwrite(png.data(), 1, png.size() / 2, f);
  std::fclose(f);
  LICE_MemBitmap target(1, 1, 4);
  EXPECT_EQ(LICE_DecodePngFile(path.c_str(), &target), nullptr);
}

TEST_F(PngFiles, TheWriterRefusesEmptyBitmapsAndUnwritablePaths)
{
  LICE_MemBitmap empty;
  Bitmap source(Gradient(2, 2));
  EXPECT_FALSE(LICE_WritePng(PathOf("empty.png").c_str(), &empty));
  EXPECT_FALSE(LICE_WritePng(PathOf("empty.png").c_str(), nullptr));
  EXPECT_FALSE(LICE_WritePng(PathOf("no-such-dir/x.png").c_str(), source.get()));
}

TEST(PngFileNames, OnlyTheLastExtensionCounts)
{
  const struct
  {
    const char* path;
    bool png;
  } cases[] = {
    {"a.png", true},       {"A.PNG", true},       {"dir/b.Png", true},   {"c:\\x\\y.pNg", true},
    {".png", true},        {"a.png.txt", false},  {"d.png/file", false}, {"d.png\\file", false},
    {"png", false},        {"a.pn", false},       {"a.pngx", false},     {"", false},
    {nullptr, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LICE_IsPngFileName(c.path), c.png) << (c.path ? c.path : "(null)");
  }
}

TEST_F(PngFiles, TheImageReaderListStartsWithThePngReader)
{
  LICE_ImageFileReader* head = LICE_ImageFileReaders();
  ASSERT_TRUE(head);
  EXPECT_STREQ(head->description, "PNG files (*.PNG)");

  Bitmap source(Gradient(2, 2));
  const std::string named = PathOf("x.png");
  const std::string unnamed = PathOf("x.img");
  ASSERT_TRUE(LICE_WritePng(named.c_str(), source.get()));
  ASSERT_TRUE(LICE_WritePng(unnamed.c_str(), source.get()));
  Bitmap read(head->read(named.c_str(), nullptr));
  EXPECT_TRUE(read);
  EXPECT_EQ(head->read(unnamed.c_str(), nullptr), nullptr);
}

}  // namespace
