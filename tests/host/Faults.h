#pragma once
// The deliberate faults our test plug-ins can carry, one at a time, to prove
// that our host and the validator built on it catch each kind of
// misbehaviour; and the part of a faulty process call every such plug-in
// shares. The bundles read the fault from THRUMWELL_FAULT by name.

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace FaultyTest
{

enum class Fault
{
  kNone,
  kRefusesProcess,
  kWritesNaN,
  kSkipsAChannel,
  kWritesInactiveBuses,
  kKeepsAReference,
  kRefusesActivation,
  kMisreportsChannels,
  // Faults that only show under load, from the 40th block on.
  kWritesSubnormals,
  kWritesLoud,
  kCrashes,
  kHangs,
  kAllocates,
};

// The faults by the names the bundles read from THRUMWELL_FAULT.
inline Fault FaultNamed(const std::string& name)
{
  const struct
  {
    const char* name;
    Fault fault;
  } names[] = {{"nan", Fault::kWritesNaN},         {"subnormal", Fault::kWritesSubnormals},
               {"loud", Fault::kWritesLoud},        {"crash", Fault::kCrashes},
               {"hang", Fault::kHangs},             {"allocate", Fault::kAllocates},
               {"refuse", Fault::kRefusesProcess},  {"skip-channel", Fault::kSkipsAChannel}};
  for (const auto& entry : names)
    if (name == entry.name)
      return entry.fault;
  return Fault::kNone;
}

// The fault of a process call: counts the blocks, then crashes, hangs or
// allocates as the fault says once it is late; and bends the samples the
// plug-in meant to write.
class FaultyBlocks
{
public:
  explicit FaultyBlocks(Fault f) : fault(f) {}

  Fault Which() const { return fault; }

  // At the start of a process call; whether the fault shows from now on.
  bool Begin()
  {
    const bool late = ++blocks >= 40;
    if (late && fault == Fault::kCrashes)
      *static_cast<volatile int*>(nullptr) = 1;
    while (late && fault == Fault::kHangs)
      std::this_thread::sleep_for(std::chrono::seconds(1));
    if (late && fault == Fault::kAllocates)
      scratch.push_back(std::vector<float>(64));
    return late;
  }

  // Sample i as the fault bends the value the plug-in meant.
  double Sample(int i, bool late, double meant) const
  {
    if (i == 7 && fault == Fault::kWritesNaN)
      return std::nan("");
    if (i == 7 && late && fault == Fault::kWritesSubnormals)
      return 1e-41;  // subnormal in both sample sizes
    if (i == 7 && late && fault == Fault::kWritesLoud)
      return 5.0;
    return meant;
  }

private:
  Fault fault;
  int blocks = 0;
  std::vector<std::vector<float>> scratch;
};

}  // namespace FaultyTest
