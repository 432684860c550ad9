// What a careless or hostile host may do: refused setups, random parameter
// queues with NaN and out-of-range values, random events and block sizes.
// The plug-in must answer every call and never write NaN or infinity, which
// the host checks after every block.

#include <cmath>
#include <limits>
#include <random>

#include "host/HostEventList.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

[[maybe_unused]] const bool kRegistered = RegisterGroup("Extreme", 1, false);

// The IDs a hostile host sends: every listed one, and some nobody lists.
std::vector<ParamID> HostileIds(IEditController* controller)
{
  std::vector<ParamID> ids = {0xFFFFFFFFu, 0x7FFFFFFFu};
  for (int32 i = 0; i < controller->getParameterCount(); ++i)
  {
    ParameterInfo info{};
    if (controller->getParameterInfo(i, info) == kResultOk)
      ids.push_back(info.id);
  }
  return ids;
}

class Extreme : public PluginTest
{
};

TEST_F(Extreme, UnusableSetupsAreRefused)
{
  THRUMWELL_DESIGN_CHECK();
  const double inf = std::numeric_limits<double>::infinity();
  const struct
  {
    double rate;
    int block;
    int size;
  } table[] = {
    {0.0, 512, kSample32},   {-44100.0, 512, kSample32}, {std::nan(""), 512, kSample32},
    {inf, 512, kSample32},   {44100.0, 0, kSample32},    {44100.0, -1, kSample64},
    {44100.0, 512, 2},       {44100.0, 512, -1},
  };
  for (const auto& row : table)
    EXPECT_FALSE(plugin->SetupProcessing(row.rate, row.block, row.size, kRealtime, false))
      << row.rate << " Hz, " << row.block << " frames, size " << row.size;
  // A good setup still works afterwards.
  Start();
  EXPECT_TRUE(plugin->Process(512));
}

TEST_F(Extreme, RandomQueuesEventsAndBlocksNeverYieldNaN)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double odd[] = {std::nan(""), inf, -inf, -1.0, 2.0, 1e300, -0.0, 1.0, 0.0, 0.5};
  // Our instrument also understands its unlisted bypass.
  std::vector<ParamID> ids = HostileIds(plugin->Controller());
  if (BundleIsThrumwell())
    ids.push_back(kBypass);
  for (int size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size);
    Start(size, 1024);
    std::mt19937 random(static_cast<unsigned>(size + 3));
    HostParameterChanges changes;
    HostEventList events;
    for (int block = 0; block < 300; ++block)
    {
      changes.Clear();
      events.Clear();
      const int n = static_cast<int>(random() % 1025);
      for (int q = static_cast<int>(random() % 5); q > 0; --q)
      {
        const ParamID id = ids[random() % ids.size()];
        for (int p = static_cast<int>(random() % 3); p >= 0; --p)
        {
          const double value = random() % 3 == 0 ? odd[random() % 10] : (random() % 10001) / 10000.0;
          changes.Add(id, static_cast<int32>(random() % 2048) - 512, value);
        }
      }
      for (int e = static_cast<int>(random() % 4); e > 0; --e)
      {
        const int32 offset = static_cast<int32>(random() % 2048) - 512;
        const int16 pitch = static_cast<int16>(static_cast<int>(random() % 300) - 80);
        if (random() % 2)
          events.NoteOn(offset, pitch, random() % 4 == 0 ? static_cast<float>(odd[random() % 10]) : 0.7f);
        else
          events.NoteOff(offset, pitch);
      }
      ProcessContext context{};
      context.state = random() % 2 ? static_cast<uint32>(ProcessContext::kPlaying) : 0u;
      context.sampleRate = 44100;
      context.projectTimeSamples = static_cast<TSamples>(random()) - (1ll << 31);
      context.tempo = odd[random() % 10];
      ASSERT_TRUE(plugin->Process(n, &changes, &events, random() % 4 ? &context : nullptr))
        << Lines(plugin->Violations());
      ASSERT_TRUE(plugin->Violations().empty()) << "block " << block << "\n" << Lines(plugin->Violations());
    }
    for (ParamID id : ids)
    {
      const double value = Normalized(id);
      EXPECT_TRUE(value >= 0.0 && value <= 1.0) << id << ": " << value;
    }
    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

TEST_F(Extreme, OutOfRangeControllerValuesAreClamped)
{
  IEditController* c = plugin->Controller();
  for (int32 i = 0; i < c->getParameterCount(); ++i)
  {
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(i, info), kResultOk);
    if (info.flags & ParameterInfo::kIsReadOnly)
      continue;
    for (double value : {-1.0, 2.0, std::nan(""), std::numeric_limits<double>::infinity()})
    {
      c->setParamNormalized(info.id, value);
      const double stored = c->getParamNormalized(info.id);
      EXPECT_TRUE(stored >= 0.0 && stored <= 1.0) << info.id << ": " << value << " stored as " << stored;
    }
  }
}

}  // namespace
}  // namespace HostTest
