#pragma once

#include <cstdint>
#include <vector>

// One supported channel configuration: numbers of input and output channels.
struct IChannelPair
{
  std::int32_t inputs = 0;
  std::int32_t outputs = 0;
};

// Parses a channel string such as "1-1 2-2": space-separated tokens of an
// input count, a hyphen and an output count, one pair per token in order.
// A number that cannot be read counts as 0; negative counts become 0 and
// counts above 1024 become 1024, so no string asks for absurd buffers. A null
// string gives no pairs.
std::vector<IChannelPair> ParseChannelString(const char* channels);

// One channel in one direction. The pointer entry is this channel's element
// of the base's input or output pointer array, the one the renderer reads.
struct IChannelSlot
{
  bool connected = false;
  double** pointerEntry = nullptr;
  // For outputs of a 32-bit block: where the rendered scratch samples go.
  float* hostOutput = nullptr;
  // blockSize samples; what an unconnected or 32-bit channel renders into.
  std::vector<double> scratch;
};
