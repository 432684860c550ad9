// The renderer's file writer on its own: frames handed over in blocks that
// do not line up with the encoder thread's chunks come back from the file
// in order, complete and within the format's step; a WAV file opened for
// more than WAV's 32-bit sizes but kept small closes as plain WAV; and a
// writer dropped without closing stops its thread.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/tools/ReadAudio.h"
#include "tools/render/SoundFileWriter.h"

namespace {

constexpr int kRate = 48000;
// Several of the writer's chunks and a part of one, in blocks of an odd size.
constexpr int kFrames = 3 * 4096 + 1234;
constexpr int kBlock = 333;

struct Frames
{
  std::vector<double> left, right;
  Frames() : left(kFrames), right(kFrames)
  {
    for (std::size_t i = 0; i < kFrames; ++i)
    {
      left[i] = 0.9 * std::sin(0.0123 * static_cast<double>(i));
      right[i] = -0.7 * std::cos(0.0456 * static_cast<double>(i));
    }
  }
};

// Writes the frames in blocks of kBlock, from doubles or from floats.
template <class Sample>
bool WriteBlocks(SoundFileWriter& writer, const Frames& frames)
{
  std::vector<Sample> left(frames.left.begin(), frames.left.end());
  std::vector<Sample> right(frames.right.begin(), frames.right.end());
  for (int at = 0; at < kFrames; at += kBlock)
    if (!writer.Write(left.data() + at, right.data() + at, std::min(kBlock, kFrames - at)))
      return false;
  return true;
}

std::string FirstFour(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::string id(4, '\0');
  in.read(&id[0], 4);
  return id;
}

}  // namespace

TEST(SoundFileWriterTest, FramesComeBackInOrderWithinTheFormatsStep)
{
  const Frames frames;
  const struct
  {
    OutputFormat format;
    const char* path;
    bool fromFloats;
    double tolerance;  // full scale 1
    bool huge;  // opened for more than 4 GiB
  } rows[] = {
    {OutputFormat::kFloat32, "w.wav", true, 0.0, false},
    {OutputFormat::kFloat64, "w.wav", false, 0.0, false},
    {OutputFormat::kFloat64, "w.wav", false, 0.0, true},
    // Rounded to the nearest 24-bit step, without dither.
    {OutputFormat::kPcm24, "w.wav", false, 0.5 / 8388608, false},
    {OutputFormat::kPcm24, "w.wav", true, 0.5 / 8388608, true},
    {OutputFormat::kFlac, "w.flac", false, 0.5 / 8388608, false},
    // Dithered: less than a step of dither and half a step of rounding.
    {OutputFormat::kPcm16, "w.wav", false, 1.5 / 32768, false},
  };
  for (const auto& row : rows)
  {
    SCOPED_TRACE(std::string(OutputFormatName(row.format)) + (row.huge ? " opened for RF64" : ""));
    SoundFileWriter writer;
    std::string error;
    const std::uint64_t room = row.huge ? (std::uint64_t(1) << 30) : kFrames;
    ASSERT_TRUE(writer.Open(row.path, kRate, room, row.format, -1.0, error)) << error;
    EXPECT_TRUE(row.fromFloats ? WriteBlocks<float>(writer, frames) : WriteBlocks<double>(writer, frames));
    ASSERT_TRUE(writer.Close(error)) << error;
    if (row.huge)
    {
      EXPECT_EQ(FirstFour(row.path), "RIFF");
    }
    const Audio audio = ReadAudio(row.path);
    const std::vector<double>& samples = audio.samples;
    std::remove(row.path);
    ASSERT_EQ(audio.channels, 2);
    ASSERT_EQ(samples.size(), 2u * kFrames);
    double worst = 0;
    std::size_t worstAt = 0;
    for (std::size_t i = 0; i < kFrames; ++i)
      for (int c = 0; c < 2; ++c)
      {
        double expected = (c == 0 ? frames.left : frames.right)[i];
        if (row.fromFloats)
          expected = static_cast<float>(expected);
        const double difference = std::fabs(samples[2 * i + static_cast<std::size_t>(c)] - expected);
        if (difference > worst)
        {
          worst = difference;
          worstAt = i;
        }
      }
    EXPECT_LE(worst, row.tolerance) << "at frame " << worstAt;
  }
}

TEST(SoundFileWriterTest, AWriterDroppedUnclosedStopsItsThread)
{
  const Frames frames;
  {
    SoundFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open("dropped.flac", kRate, kFrames, OutputFormat::kFlac, -1.0, error)) << error;
    EXPECT_TRUE(WriteBlocks<float>(writer, frames));
  }
  std::remove("dropped.flac");
  // Nor can an unopened writer write or close.
  SoundFileWriter unopened;
  std::string error;
  const float sample = 0;
  EXPECT_FALSE(unopened.Write(&sample, &sample, 1));
  EXPECT_FALSE(unopened.Close(error));
  EXPECT_EQ(error, "the file was not open");
}
