#include <vector>

#include <gtest/gtest.h>

#include "plug/IChannelPair.h"
#include "tests/plug/TestPlug.h"

TEST(ChannelString, ParsesPairsAndChannelCounts)
{
  const struct
  {
    const char* text;
    std::vector<std::pair<int, int>> pairs;
    int inputs;
    int outputs;
  } cases[] = {
    {"1-1 2-2", {{1, 1}, {2, 2}}, 2, 2},
    {"2-2", {{2, 2}}, 2, 2},
    {"0-2", {{0, 2}}, 0, 2},
    {"", {}, 0, 0},
    {nullptr, {}, 0, 0},
    {"x-2 3-y", {{0, 0}, {3, 0}}, 3, 0},
    {"-4-1", {{0, 1}}, 0, 1},
  };
  for (const auto& c : cases)
  {
    const char* label = c.text ? c.text : "(null)";
    std::vector<std::pair<int, int>> parsed;
    for (const IChannelPair& p : ParseChannelString(c.text))
      parsed.emplace_back(p.inputs, p.outputs);
    EXPECT_EQ(parsed, c.pairs) << label;
    TestPlug plug(c.text);
    EXPECT_EQ(plug.NInChannels(), c.inputs) << label;
    EXPECT_EQ(plug.NOutChannels(), c.outputs) << label;
  }
}

TEST(ChannelString, LegalConfigurations)
{
  TestPlug plug("1-1 2-2");
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(1, -1));
  EXPECT_FALSE(plug.LegalIO(-1, 3));
  TestPlug none("");
  EXPECT_FALSE(none.LegalIO(-1, -1));
}

// A stereo plug-in fed by host arrays, 32-bit or 64-bit, as the binding does.
class Blocks : public ::testing::Test
{
protected:
  static constexpr int kBlock = 8;

  void SetUp() override
  {
    plug.SetBlockSize(kBlock);
    for (int c = 0; c < 2; ++c)
    {
      in64[c].assign(kBlock, 0.0);
      out64[c].assign(kBlock, -9.0);
      in32[c].assign(kBlock, 0.0f);
      out32[c].assign(kBlock, -9.0f);
      for (int i = 0; i < kBlock; ++i)
      {
        in64[c][i] = 0.01 * (i + 1) * (c ? -1 : 1);
        in32[c][i] = static_cast<float>(in64[c][i]);
      }
    }
  }

  // Connects the first nChannels channels both ways, disconnects the others
  // and attaches the host's arrays, as the binding does before each block.
  void Connect(int nChannels, double** ins, double** outs)
  {
    SetConnections(nChannels);
    plug.AttachInputBuffers(0, nChannels, ins);
    plug.AttachOutputBuffers(0, nChannels, outs);
  }
  void Connect(int nChannels, float** ins, float** outs, int nFrames)
  {
    SetConnections(nChannels);
    plug.AttachInputBuffers(0, nChannels, ins, nFrames);
    plug.AttachOutputBuffers(0, nChannels, outs);
  }
  void SetConnections(int nChannels)
  {
    plug.SetInputConnections(0, nChannels, true);
    plug.SetInputConnections(nChannels, 2, false);
    plug.SetOutputConnections(0, nChannels, true);
    plug.SetOutputConnections(nChannels, 2, false);
  }

  void Attach64()
  {
    double* ins[2] = {in64[0].data(), in64[1].data()};
    double* outs[2] = {out64[0].data(), out64[1].data()};
    Connect(2, ins, outs);
  }

  void Attach32()
  {
    float* ins[2] = {in32[0].data(), in32[1].data()};
    float* outs[2] = {out32[0].data(), out32[1].data()};
    Connect(2, ins, outs, kBlock);
  }

  TestPlug plug;
  std::vector<double> in64[2], out64[2];
  std::vector<float> in32[2], out32[2];
};

TEST_F(Blocks, NothingRendersBeforeRenderReadyAndOutputsAreSilent)
{
  Attach32();
  plug.ProcessBuffers32(kBlock);
  Attach64();
  plug.ProcessBuffers64(kBlock);
  EXPECT_EQ(plug.renders, 0);
  for (int c = 0; c < 2; ++c)
  {
    EXPECT_EQ(out32[c], std::vector<float>(kBlock, 0.0f));
    EXPECT_EQ(out64[c], std::vector<double>(kBlock, 0.0));
  }
}

TEST_F(Blocks, SixtyFourBitBlocksRenderInTheHostArrays)
{
  plug.SetRenderReady(true);
  Attach64();
  plug.ProcessBuffers64(kBlock);
  EXPECT_EQ(plug.renders, 1);
  EXPECT_EQ(plug.lastFrames, kBlock);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < kBlock; ++i)
      EXPECT_EQ(out64[c][i], in64[c][i] + 0.25 * (c + 1));
}

TEST_F(Blocks, ThirtyTwoBitBlocksAreConvertedBothWays)
{
  plug.SetRenderReady(true);
  Attach32();
  plug.ProcessBuffers32(kBlock);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < kBlock; ++i)
      EXPECT_EQ(out32[c][i], static_cast<float>(static_cast<double>(in32[c][i]) + 0.25 * (c + 1)));
}

TEST_F(Blocks, PassThroughCopiesWhateverRenderReady)
{
  Attach64();
  plug.PassThroughBuffers64(kBlock);
  EXPECT_EQ(out64[0], in64[0]);
  EXPECT_EQ(out64[1], in64[1]);
  Attach32();
  plug.PassThroughBuffers32(kBlock);
  EXPECT_EQ(out32[0], in32[0]);
  EXPECT_EQ(out32[1], in32[1]);
  EXPECT_EQ(plug.renders, 0);
}

TEST_F(Blocks, UnconnectedChannelsUseScratchAndInputsReadSilence)
{
  plug.SetRenderReady(true);
  // One block with both inputs connected leaves samples in the scratch arrays.
  Attach32();
  plug.ProcessBuffers32(kBlock);
  EXPECT_EQ(plug.firstInput[1], static_cast<double>(in32[1][0]));

  // Then the second channel goes away: its input must read silence, not the
  // old block, and the host's second output array is not touched.
  float* ins[1] = {in32[0].data()};
  float* outs[1] = {out32[0].data()};
  out32[1].assign(kBlock, -9.0f);
  Connect(1, ins, outs, kBlock);
  plug.ProcessBuffers32(kBlock);
  EXPECT_EQ(plug.firstInput[1], 0.0);
  EXPECT_FALSE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsOutChannelConnected(1));
  EXPECT_TRUE(plug.IsOutChannelConnected(0));
  EXPECT_EQ(out32[1], std::vector<float>(kBlock, -9.0f));
  EXPECT_EQ(out32[0][0], static_cast<float>(static_cast<double>(in32[0][0]) + 0.25));
}

TEST_F(Blocks, RenderReceivesAPointerForEveryChannelWhenNothingIsConnected)
{
  struct Checker : TestPlug
  {
    void RenderBlock(double** inputs, double** outputs, int n) override
    {
      for (int c = 0; c < 2; ++c)
      {
        ASSERT_NE(inputs[c], nullptr);
        ASSERT_NE(outputs[c], nullptr);
        for (int i = 0; i < n; ++i)
        {
          EXPECT_EQ(inputs[c][i], 0.0);
          outputs[c][i] = 1.0;
        }
      }
      ++renders;
    }
  } checker;
  checker.SetBlockSize(kBlock);
  checker.SetRenderReady(true);
  checker.ProcessBuffers64(kBlock);
  checker.ProcessBuffers32(kBlock);
  EXPECT_EQ(checker.renders, 2);
}

TEST(ScratchArrays, SetBlockSizeKeepsOrReplacesThem)
{
  // Renders into unconnected channels and notes what the output scratch held
  // before the block wrote it.
  struct Recorder : TestPlug
  {
    void RenderBlock(double** inputs, double** outputs, int n) override
    {
      heldBefore = outputs[0][0];
      TestPlug::RenderBlock(inputs, outputs, n);
    }
    double heldBefore = -1.0;
  } plug;
  plug.SetRenderReady(true);
  plug.SetBlockSize(8);
  plug.ProcessBuffers64(8);
  EXPECT_EQ(plug.heldBefore, 0.0);
  plug.ProcessBuffers64(8);
  EXPECT_EQ(plug.heldBefore, 0.25);

  plug.SetBlockSize(8);
  plug.ProcessBuffers64(8);
  EXPECT_EQ(plug.heldBefore, 0.25);

  plug.SetBlockSize(16);
  EXPECT_EQ(plug.GetBlockSize(), 16);
  plug.ProcessBuffers64(16);
  EXPECT_EQ(plug.heldBefore, 0.0);
  EXPECT_EQ(plug.lastFrames, 16);

  plug.SetBlockSize(-3);
  EXPECT_EQ(plug.GetBlockSize(), 0);
  plug.ProcessBuffers64(16);
  EXPECT_EQ(plug.lastFrames, 0);
}

TEST_F(Blocks, FramesBeyondTheBlockSizeAreSilenceNotOverruns)
{
  plug.SetRenderReady(true);
  constexpr int kLong = kBlock * 3;
  std::vector<float> longIn(kLong, 0.5f), longOut(kLong, -9.0f);
  float* ins[1] = {longIn.data()};
  float* outs[1] = {longOut.data()};
  Connect(1, ins, outs, kLong);
  plug.ProcessBuffers32(kLong);
  EXPECT_EQ(plug.lastFrames, kBlock);
  for (int i = 0; i < kLong; ++i)
    EXPECT_EQ(longOut[i], i < kBlock ? 0.75f : 0.0f) << i;

  // 64-bit with an unconnected channel falls back the same way.
  std::vector<double> in(kLong, 0.5), out(kLong, -9.0);
  double* ins64[1] = {in.data()};
  double* outs64[1] = {out.data()};
  Connect(1, ins64, outs64);
  plug.ProcessBuffers64(kLong);
  EXPECT_EQ(plug.lastFrames, kBlock);
  for (int i = 0; i < kLong; ++i)
    EXPECT_EQ(out[i], i < kBlock ? 0.75 : 0.0) << i;
}

TEST_F(Blocks, LongSixtyFourBitBlocksRenderWholeWhenEveryChannelIsTheHosts)
{
  plug.SetRenderReady(true);
  constexpr int kLong = kBlock * 3;
  std::vector<double> in[2], out[2];
  double* ins[2];
  double* outs[2];
  for (int c = 0; c < 2; ++c)
  {
    in[c].assign(kLong, 0.5);
    out[c].assign(kLong, -9.0);
    ins[c] = in[c].data();
    outs[c] = out[c].data();
  }
  Connect(2, ins, outs);
  plug.ProcessBuffers64(kLong);
  EXPECT_EQ(plug.lastFrames, kLong);
  EXPECT_EQ(out[1], std::vector<double>(kLong, 1.0));
}

TEST_F(Blocks, RangesAndNullArraysAreClipped)
{
  plug.SetRenderReady(true);
  double* outs[4] = {out64[0].data(), out64[1].data(), nullptr, nullptr};
  plug.SetInputConnections(-5, 100, false);
  plug.SetOutputConnections(1, 100, true);
  plug.SetOutputConnections(0, 1, false);
  plug.AttachOutputBuffers(-1, 100, outs);   // channel 1 takes the first array
  plug.AttachInputBuffers(0, 2, static_cast<double**>(nullptr));
  plug.ProcessBuffers64(kBlock);
  EXPECT_EQ(out64[0], std::vector<double>(kBlock, 0.5));
  EXPECT_EQ(out64[1], std::vector<double>(kBlock, -9.0));
}

TEST(DefaultRender, CopiesSharedChannelsAndSilencesTheRest)
{
  IPlugBase plug(0, "1-2", 0, "", "", "", 0, 0, 0, 0, false, false, false, 1);
  plug.SetBlockSize(4);
  std::vector<double> in = {1, 2, 3, 4}, left(4, -9.0), right(4, -9.0);
  double* ins[1] = {in.data()};
  double* outs[2] = {left.data(), right.data()};
  plug.SetInputConnections(0, 1, true);
  plug.SetOutputConnections(0, 2, true);
  plug.AttachInputBuffers(0, 1, ins);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.PassThroughBuffers64(4);
  EXPECT_EQ(left, in);
  EXPECT_EQ(right, std::vector<double>(4, 0.0));
}
