// The WAV writer's headers: plain WAV for the float and PCM formats, and RF64
// with 64-bit sizes once a file outgrows the 32-bit ones (seen here with the
// limit lowered, so the files stay small).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/render/WavWriter.h"

namespace {

const char* kFile = "wav-writer-test.wav";

std::vector<unsigned char> Write(WavWriter& wav, OutputFormat format, int frames)
{
  std::vector<float> left(static_cast<std::size_t>(frames), 0.5f), right(static_cast<std::size_t>(frames), -0.25f);
  EXPECT_TRUE(wav.Open(kFile, 48000, static_cast<std::uint64_t>(frames), format));
  EXPECT_TRUE(wav.Write(left.data(), right.data(), frames));
  EXPECT_TRUE(wav.Close());
  std::ifstream in(kFile, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(kFile);
  return bytes;
}

std::uint64_t Le(const std::vector<unsigned char>& b, std::size_t at, int bytes)
{
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i)
    v |= static_cast<std::uint64_t>(b[at + static_cast<std::size_t>(i)]) << (8 * i);
  return v;
}

std::string Id(const std::vector<unsigned char>& b, std::size_t at)
{
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at) + 4);
}

}  // namespace

TEST(WavWriterTest, WritesPlainWavWhileTheSizesFit)
{
  const struct
  {
    OutputFormat format;
    int tag, bits;
    std::size_t dataAt;  // where the "data" chunk starts
  } rows[] = {{OutputFormat::kFloat32, 3, 32, 50}, {OutputFormat::kFloat64, 3, 64, 50},
              {OutputFormat::kPcm24, 1, 24, 36},   {OutputFormat::kPcm16, 1, 16, 36}};
  for (const auto& row : rows)
  {
    WavWriter wav;
    const std::vector<unsigned char> b = Write(wav, row.format, 10);
    const std::size_t data = 2 * 10 * static_cast<std::size_t>(row.bits / 8);
    ASSERT_EQ(b.size(), row.dataAt + 8 + data) << row.bits;
    EXPECT_EQ(Id(b, 0), "RIFF");
    EXPECT_EQ(Le(b, 4, 4), b.size() - 8);
    EXPECT_EQ(Id(b, 8), "WAVE");
    EXPECT_EQ(Le(b, 20, 2), static_cast<std::uint64_t>(row.tag));
    EXPECT_EQ(Le(b, 34, 2), static_cast<std::uint64_t>(row.bits));
    EXPECT_EQ(Id(b, row.dataAt), "data");
    EXPECT_EQ(Le(b, row.dataAt + 4, 4), data);
  }
}

TEST(WavWriterTest, WritesRf64WhenTheFileOutgrowsThirtyTwoBitSizes)
{
  // A limit of 100 bytes: 10 frames of floats (80 bytes of data and a
  // 58-byte header, a RIFF size of 130) no longer fit.
  WavWriter wav(100);
  const std::vector<unsigned char> b = Write(wav, OutputFormat::kFloat32, 10);
  ASSERT_EQ(b.size(), 12u + 36 + 26 + 12 + 8 + 80);
  EXPECT_EQ(Id(b, 0), "RF64");
  EXPECT_EQ(Le(b, 4, 4), 0xFFFFFFFFu);
  EXPECT_EQ(Id(b, 8), "WAVE");
  EXPECT_EQ(Id(b, 12), "ds64");
  EXPECT_EQ(Le(b, 16, 4), 28u);
  EXPECT_EQ(Le(b, 20, 8), b.size() - 8);  // RIFF size
  EXPECT_EQ(Le(b, 28, 8), 80u);           // data size
  EXPECT_EQ(Le(b, 36, 8), 10u);           // frames
  EXPECT_EQ(Le(b, 44, 4), 0u);            // no table
  EXPECT_EQ(Id(b, 48), "fmt ");
  EXPECT_EQ(Id(b, 74), "fact");
  EXPECT_EQ(Le(b, 82, 4), 0xFFFFFFFFu);
  EXPECT_EQ(Id(b, 86), "data");
  EXPECT_EQ(Le(b, 90, 4), 0xFFFFFFFFu);
  float first;
  std::memcpy(&first, b.data() + 94, 4);
  EXPECT_EQ(first, 0.5f);

  // Up to the limit the file stays plain WAV.
  WavWriter fits(130);
  EXPECT_EQ(Id(Write(fits, OutputFormat::kFloat32, 10), 0), "RIFF");
}
