// Component state through IBStream: round trips, streams that end early or
// carry garbage, and data that sits behind a preset file's header.
#include <cstring>
#include <cmath>
#include <limits>

#include "host/HostMemoryStream.h"
#include "tests/vst3/BindingFixture.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using ThrumwellHost::HostMemoryStream;

namespace
{
class State : public BindingFixture
{
protected:
  std::vector<unsigned char> Saved()
  {
    HostMemoryStream stream;
    EXPECT_EQ(component->getState(&stream), kResultOk);
    return stream.Bytes();
  }
  static std::vector<unsigned char> Doubles(std::initializer_list<double> values)
  {
    std::vector<unsigned char> bytes(values.size() * 8);
    size_t at = 0;
    for (double v : values)
    {
      std::memcpy(bytes.data() + at, &v, 8);  // the test machines are little-endian
      at += 8;
    }
    return bytes;
  }
};

TEST_F(State, RoundTripsBitForBit)
{
  controller->setParamNormalized(0, 0.37);
  controller->setParamNormalized(2, 0.123456789);
  const std::vector<unsigned char> saved = Saved();
  ASSERT_EQ(saved.size(), 24u);
  EXPECT_EQ(saved, Doubles({37.0, 0.0, synth->GetParam(2)->GetValue()}));

  controller->setParamNormalized(0, 1.0);
  controller->setParamNormalized(2, 0.0);
  HostMemoryStream stream(saved);
  stream.SetFailPastEnd(true);  // the trailing read fails: no failure for that
  EXPECT_EQ(component->setState(&stream), kResultOk);
  EXPECT_EQ(Saved(), saved);
}

TEST_F(State, ShortAndGarbageStreams)
{
  struct Row
  {
    const char* what;
    std::vector<unsigned char> bytes;
    tresult expected;
    double volume;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {
      {"empty", {}, kResultFalse, 50.0},
      {"one value and a half", [] {
         auto b = Doubles({80.0, 2.0});
         b.resize(12);
         return b;
       }(), kResultFalse, 80.0},
      {"out of range and NaN", Doubles({1e9, nan, -5.0}), kResultOk, 100.0},
      {"longer than ours", Doubles({10.0, 1.0, 30.0, 99.0, 99.0}), kResultOk, 10.0},
  };
  for (const Row& row : rows)
  {
    synth->GetParam(0)->SetValue(50.0);
    HostMemoryStream stream(row.bytes);
    EXPECT_EQ(component->setState(&stream), row.expected) << row.what;
    EXPECT_EQ(synth->GetParam(0)->GetValue(), row.volume) << row.what;
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(std::isfinite(synth->GetParam(i)->GetValue())) << row.what;
  }
  EXPECT_EQ(component->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(component->getState(nullptr), kInvalidArgument);
}

TEST_F(State, ReadsAndWritesFromTheStreamPosition)
{
  // A preset file holds a 48-byte header before our data.
  std::vector<unsigned char> file(48, 0xEE);
  const auto ours = Doubles({20.0, 3.0, 500.0});
  file.insert(file.end(), ours.begin(), ours.end());
  file.insert(file.end(), 4, 0);
  HostMemoryStream stream(file);
  ASSERT_EQ(stream.seek(48, IBStream::kIBSeekSet, nullptr), kResultOk);
  ASSERT_EQ(component->setState(&stream), kResultOk);
  EXPECT_EQ(synth->GetParam(0)->GetValue(), 20.0);
  EXPECT_EQ(synth->GetParam(2)->GetValue(), 500.0);
  int64 position = 0;
  stream.tell(&position);
  EXPECT_EQ(position, 48 + 24 + 4);

  HostMemoryStream out(std::vector<unsigned char>(48, 0xEE));
  ASSERT_EQ(out.seek(48, IBStream::kIBSeekSet, nullptr), kResultOk);
  ASSERT_EQ(component->getState(&out), kResultOk);
  EXPECT_EQ(std::vector<unsigned char>(out.Bytes().begin() + 48, out.Bytes().end()), ours);
}

TEST_F(State, ControllerStateIsEmpty)
{
  HostMemoryStream stream;
  EXPECT_EQ(controller->getState(&stream), kResultOk);
  EXPECT_TRUE(stream.Bytes().empty());
  EXPECT_EQ(controller->setState(&stream), kResultOk);
  EXPECT_EQ(controller->setComponentState(&stream), kNotImplemented);
}
}  // namespace
