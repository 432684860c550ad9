// Our host must catch a plug-in misbehaving, or the other host-level tests
// prove nothing: a small plug-in with one deliberate fault at a time, and the
// violation the host has to report for it.

#include "tools/validate/checks/CheckSupport.h"
#include "tests/host/FaultyPlugin.h"

namespace HostTest
{
namespace {

using namespace FaultyTest;

TEST(HostStrictness, ReportsEachFault)
{
  const struct
  {
    Fault fault;
    const char* report;  // part of the violation the host must record; empty: none
  } table[] = {
    {Fault::kNone, ""},
    {Fault::kRefusesProcess, "process(64 samples) returned kResultFalse"},
    {Fault::kWritesNaN, "NaN or infinite samples to output bus 0 channel 0"},
    {Fault::kSkipsAChannel, "64 samples of output bus 0 channel 1 unwritten"},
    {Fault::kWritesInactiveBuses, "changed 64 samples of inactive output bus 0"},
    {Fault::kKeepsAReference, "keeps 1 references"},
    {Fault::kRefusesActivation, "setActive(true) returned kResultFalse"},
    {Fault::kMisreportsChannels, "has 2 channels but an arrangement of 3"},
  };
  for (const auto& row : table)
    for (int size : {kSample32, kSample64})
    {
      SCOPED_TRACE(std::string(row.report) + (size == kSample64 ? " (64)" : " (32)"));
      auto* faulty = new FaultyPlugin(row.fault);
      HostPlugin host;
      ASSERT_TRUE(host.Adopt(static_cast<IAudioProcessor*>(faulty)));
      host.ActivateDefaultBuses();
      host.SetBusArrangements({}, {SpeakerArr::kStereo});
      host.SetupProcessing(44100, 64, size);
      host.SetActive(true);
      host.Process(64);
      host.ActivateBus(kAudio, kOutput, 0, false);
      host.Process(64);
      host.Destroy();
      std::string all = Lines(host.Violations());
      if (*row.report)
        EXPECT_NE(all.find(row.report), std::string::npos) << all;
      else
        EXPECT_EQ(all, "");
      // Frees the plug-in that kept a reference to itself.
      if (row.fault == Fault::kKeepsAReference)
        faulty->release();
    }
}

}  // namespace
}  // namespace HostTest
