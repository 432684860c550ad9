// The session player against the instrument's own parameter mapping: where
// settings land, and how closely a ramp's points, interpolated the way a host
// interpolates them, follow the straight line in the parameter's units.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "host/HostModule.h"
#include "host/HostParameterChanges.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"
#include "tools/session/SessionPlayer.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;
using namespace ThrumwellSession;

struct Point
{
  std::uint64_t frame;
  double normalized;
};

class SessionPlayerTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const char* bundle = std::getenv("THRUMWELL_BUNDLE");
    ASSERT_NE(bundle, nullptr) << "THRUMWELL_BUNDLE names the bundle";
    ASSERT_TRUE(module.Load(bundle)) << module.Error();
    plugin = std::make_unique<HostPlugin>(module);
    ASSERT_TRUE(plugin->Create());
    params = std::make_unique<HostParameterList>(plugin->Controller(), plugin->Units());
  }
  void TearDown() override
  {
    if (plugin)
      plugin->Destroy();
  }

  // Resolves the session text and plays frames in blocks of block, returning
  // every point by parameter ID.
  std::map<ParamID, std::vector<Point>> Play(const std::string& text, std::uint64_t frames, int block)
  {
    std::vector<SessionEvent> events;
    SessionBeds beds;
    std::string error;
    EXPECT_TRUE(ParseSessionText(text, "t", events, beds, error) && OrderSessionEvents(events, error)) << error;
    EXPECT_TRUE(player.Resolve(events, *params, plugin->Controller(), 48000, error)) << error;
    player.ReadValuesInForce();
    std::map<ParamID, std::vector<Point>> points;
    HostParameterChanges changes;
    for (std::uint64_t done = 0; done < frames;)
    {
      const std::uint64_t room = std::min(frames, player.NextBoundary(done)) - done;
      const int n = static_cast<int>(std::min<std::uint64_t>(room, static_cast<std::uint64_t>(block)));
      changes.Clear();
      player.AddBlockChanges(done, n, changes);
      for (int32 q = 0; q < changes.getParameterCount(); ++q)
      {
        IParamValueQueue* queue = changes.getParameterData(q);
        int32 previous = -1;
        for (int32 i = 0; i < queue->getPointCount(); ++i)
        {
          int32 offset = 0;
          ParamValue value = 0;
          queue->getPoint(i, offset, value);
          EXPECT_GT(offset, previous) << "points in order, one per offset";
          EXPECT_LT(offset, n);
          previous = offset;
          points[queue->getParameterId()].push_back({done + static_cast<std::uint64_t>(offset), value});
        }
      }
      done += static_cast<std::uint64_t>(n);
    }
    return points;
  }

  ParamID Id(const char* title) { return params->At(params->FindUserParameter(title)).info.id; }
  double Plain(ParamID id, double normalized) { return plugin->Controller()->normalizedParamToPlain(id, normalized); }

  HostModule module;
  std::unique_ptr<HostPlugin> plugin;
  std::unique_ptr<HostParameterList> params;
  SessionPlayer player;
};

}  // namespace

TEST_F(SessionPlayerTest, RampPointsFollowTheLineInRealUnits)
{
  // 200 Hz to 2000 Hz over one second from 0.5 s: "Frequency" maps to
  // normalized values along a square root, so straight normalized segments
  // across whole blocks would bow below the line.
  const ParamID frequency = Id("Frequency");
  const std::map<ParamID, std::vector<Point>> all = Play("0.5 -> 1.5 Frequency=200->2000\n", 96000, 4096);
  ASSERT_EQ(all.size(), 1u);
  const std::vector<Point>& points = all.at(frequency);
  ASSERT_GE(points.size(), 2u);
  EXPECT_EQ(points.front().frame, 24000u);
  EXPECT_NEAR(Plain(frequency, points.front().normalized), 200.0, 1e-9);
  EXPECT_EQ(points.back().frame, 72000u);
  EXPECT_NEAR(Plain(frequency, points.back().normalized), 2000.0, 1e-9);
  // Between points the host interpolates normalized values linearly; every
  // frame must stay within a millionth of the range of the line.
  double worst = 0;
  for (std::size_t i = 1; i < points.size(); ++i)
    for (std::uint64_t f = points[i - 1].frame; f <= points[i].frame; ++f)
    {
      const double share = points[i].frame == points[i - 1].frame
                             ? 0.0
                             : static_cast<double>(f - points[i - 1].frame) / (points[i].frame - points[i - 1].frame);
      const double host = Plain(frequency, points[i - 1].normalized
                                             + (points[i].normalized - points[i - 1].normalized) * share);
      const double line = 200.0 + 1800.0 * static_cast<double>(f - 24000) / 48000.0;
      worst = std::max(worst, std::fabs(host - line));
    }
  EXPECT_LT(worst, 19999 * 1e-6 * 1.01);
  // Several points per block where the curve needs them, not one per frame.
  EXPECT_GT(points.size(), 2u * (48000 / 4096));
  EXPECT_LT(points.size(), 48000u / 8);
}

TEST_F(SessionPlayerTest, SettingsLandOnTheirFrameAndRampsStartFromThem)
{
  const ParamID volume = Id("Volume");
  const ParamID wave = Id("Wave");
  // A block boundary falls on every setting; the ramp starts from the 40 set
  // before it at the same time, and a later setting follows its end.
  const std::map<ParamID, std::vector<Point>> all =
    Play("0.25 Wave=Saw\n0.5 Volume=40\n0.5 -> 1 Volume=80\n1 Volume=10\n", 60000, 512);
  ASSERT_EQ(all.at(wave).size(), 1u);
  EXPECT_EQ(all.at(wave)[0].frame, 12000u);
  EXPECT_NEAR(Plain(wave, all.at(wave)[0].normalized), 2.0, 1e-9);
  const std::vector<Point>& v = all.at(volume);
  EXPECT_EQ(v.front().frame, 24000u);
  EXPECT_NEAR(Plain(volume, v.front().normalized), 40.0, 1e-9);
  EXPECT_EQ(v.back().frame, 48000u);
  EXPECT_NEAR(Plain(volume, v.back().normalized), 10.0, 1e-9);
  // Every point in between lies on the line from 40 to 80; at its end the
  // setting written after the ramp wins.
  for (std::size_t i = 0; i + 1 < v.size(); ++i)
  {
    EXPECT_NEAR(Plain(volume, v[i].normalized), 40.0 + 40.0 * (v[i].frame - 24000.0) / 24000.0, 1e-9) << v[i].frame;
  }
  EXPECT_GT(v.size(), 24000u / 512);
}
