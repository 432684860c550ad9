#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "plug/IDataBlob.h"
#include "tests/plug/TestPlug.h"

namespace
{
IDataBlob BlobOf(const std::vector<double>& values)
{
  IDataBlob blob;
  for (double v : values)
    blob.AppendDouble(v);
  return blob;
}

// Values inside every parameter's range, none of them defaults.
const std::vector<double> kStoredValues = {5000.75, 91, 3, 12.5, 7999.5, 0.01, 0.99, 0.123456789, 0.25, 1.0, 0.0, 1e-300};
}

TEST(State, TwelveParametersAreNinetySixLittleEndianBytes)
{
  TestPlug plug;
  plug.GetParam(0)->SetValue(5000.75);
  plug.GetParam(2)->SetValue(3.0);
  IDataBlob blob;
  ASSERT_TRUE(plug.WriteState(blob));
  ASSERT_EQ(blob.Size(), 96);
  // 5000.75 is 0x40B388C000000000, lowest byte first.
  const unsigned char freq[8] = {0x00, 0x00, 0x00, 0x00, 0xC0, 0x88, 0xB3, 0x40};
  EXPECT_EQ(std::memcmp(blob.Data(), freq, 8), 0);
  // 3.0 is 0x4008000000000000.
  const unsigned char wave[8] = {0, 0, 0, 0, 0, 0, 0x08, 0x40};
  EXPECT_EQ(std::memcmp(blob.Data() + 16, wave, 8), 0);

  // Writing appends: a second state follows the first.
  ASSERT_TRUE(plug.WriteParameters(blob));
  EXPECT_EQ(blob.Size(), 192);
}

TEST(State, ReadBackRestoresEveryValueExactly)
{
  TestPlug source;
  for (int i = 0; i < source.NParams(); ++i)
    source.GetParam(i)->SetValue(kStoredValues[static_cast<std::size_t>(i)]);
  IDataBlob blob;
  source.WriteState(blob);

  TestPlug target;
  EXPECT_EQ(target.ReadState(blob, 0), 96);
  EXPECT_EQ(target.Values(), kStoredValues);
  std::vector<int> all(12);
  for (int i = 0; i < 12; ++i)
    all[static_cast<std::size_t>(i)] = i;
  EXPECT_EQ(target.changes, all);
}

TEST(State, ShortStateRestoresOnlyCompleteValues)
{
  TestPlug plug;
  const auto before = plug.Values();
  IDataBlob blob = BlobOf({4321.0, 55.0});
  const unsigned char partial[4] = {1, 2, 3, 4};
  blob.AppendBytes(partial, 4);
  ASSERT_EQ(blob.Size(), 20);

  EXPECT_EQ(plug.ReadParameters(blob, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 4321.0);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 55.0);
  for (int i = 2; i < 12; ++i)
    EXPECT_EQ(plug.GetParam(i)->GetValue(), before[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 1}));
}

TEST(State, EmptyStateOrPositionPastTheEndChangesNothing)
{
  TestPlug plug;
  const auto before = plug.Values();
  IDataBlob empty;
  EXPECT_EQ(plug.ReadParameters(empty, 0), -1);
  IDataBlob full = BlobOf(kStoredValues);
  EXPECT_EQ(plug.ReadParameters(full, 96), -1);
  EXPECT_EQ(plug.ReadParameters(full, 1 << 30), -1);
  EXPECT_EQ(plug.ReadParameters(full, -1), -1);
  EXPECT_EQ(plug.Values(), before);
  EXPECT_TRUE(plug.changes.empty());
}

TEST(State, ReadingStartsAtThePositionAndIgnoresExtraBytes)
{
  TestPlug plug;
  std::vector<double> values = {-1.0, -1.0};
  values.insert(values.end(), kStoredValues.begin(), kStoredValues.end());
  values.push_back(123.0);
  IDataBlob blob = BlobOf(values);
  EXPECT_EQ(plug.ReadParameters(blob, 16), 16 + 96);
  EXPECT_EQ(plug.Values(), kStoredValues);
}

TEST(State, ValuesAreClampedButNotSnapped)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  TestPlug plug;
  std::vector<double> values = kStoredValues;
  values[0] = nan;      // Frequency 1..20000: NaN becomes min
  values[1] = 1e300;    // Count 0..100
  values[2] = 1.4;      // Wave list: kept as read
  values[3] = 250.0;    // Volume 0..100
  values[4] = -5.0;     // Attack 0..8000
  values[5] = -inf;
  values[6] = inf;
  EXPECT_EQ(plug.ReadParameters(BlobOf(values), 0), 96);
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 1.0);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 100.0);
  EXPECT_EQ(plug.GetParam(2)->GetValue(), 1.4);
  EXPECT_EQ(plug.GetParam(3)->GetValue(), 100.0);
  EXPECT_EQ(plug.GetParam(4)->GetValue(), 0.0);
  EXPECT_EQ(plug.GetParam(5)->GetValue(), 0.0);
  EXPECT_EQ(plug.GetParam(6)->GetValue(), 1.0);
}

TEST(State, RefusedRestoreSkipsTheValueButKeepsReading)
{
  struct Picky : TestPlug
  {
    bool AcceptParameterRestore(int paramIdx, int) override { return paramIdx != 1; }
  } plug;
  const auto before = plug.Values();
  EXPECT_EQ(plug.ReadParameters(BlobOf(kStoredValues), 0), 96);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), before[1]);
  EXPECT_EQ(plug.GetParam(2)->GetValue(), kStoredValues[2]);
  EXPECT_EQ(plug.changes.size(), 11u);
}

TEST(IDataBlob, AppendsAndReadsBackByPosition)
{
  IDataBlob blob;
  EXPECT_EQ(blob.Size(), 0);
  EXPECT_TRUE(blob.AppendDouble(-0.0));
  const char bytes[] = "abc";
  EXPECT_TRUE(blob.AppendBytes(bytes, 3));
  EXPECT_TRUE(blob.AppendDouble(2.5));
  EXPECT_EQ(blob.Size(), 19);

  double v = 99.0;
  EXPECT_EQ(blob.ReadDouble(&v, 0), 8);
  EXPECT_TRUE(std::signbit(v));
  EXPECT_EQ(blob.ReadDouble(&v, 11), 19);
  EXPECT_EQ(v, 2.5);
  v = 99.0;
  EXPECT_EQ(blob.ReadDouble(&v, 12), -1);
  EXPECT_EQ(blob.ReadDouble(&v, -4), -1);
  EXPECT_EQ(v, 99.0);
  EXPECT_EQ(std::memcmp(blob.Data() + 8, "abc", 3), 0);

  EXPECT_FALSE(blob.AppendBytes(bytes, -1));
  EXPECT_FALSE(blob.AppendBytes(nullptr, 4));
  EXPECT_TRUE(blob.AppendBytes(nullptr, 0));
  EXPECT_EQ(blob.Size(), 19);

  blob.Clear();
  EXPECT_EQ(blob.Size(), 0);
  EXPECT_EQ(blob.ReadDouble(&v, 0), -1);
}

TEST(IDataBlob, GrowsAcrossManySteps)
{
  IDataBlob blob;
  for (int i = 0; i < 3000; ++i)
    ASSERT_TRUE(blob.AppendDouble(i * 0.5));
  EXPECT_EQ(blob.Size(), 24000);
  double v = 0.0;
  for (int i = 0; i < 3000; i += 271)
  {
    EXPECT_EQ(blob.ReadDouble(&v, i * 8), i * 8 + 8);
    EXPECT_EQ(v, i * 0.5);
  }
}
