#pragma once
// The settings every check reads and the table of check groups.
//
// A group is a GoogleTest suite (the name after any "Prefix/" of a
// parameterised suite). Each has a strictness from which it runs and may be
// about our own instrument only; groups not in the table run from strictness
// 1 on any bundle. The validator and the ctest suite read the same table.
//
// Settings come from the environment, so that a validator's child process and
// a test program see the same ones:
//   THRUMWELL_BUNDLE       the bundle under test
//   THRUMWELL_STRICTNESS   1..10 (default 10: the test suite runs every group)
//   THRUMWELL_SEED         seed of every random choice (default 1)
//   THRUMWELL_CLASS        the audio module class under test, by name or
//                          factory index (default: the first)

#include <cstdint>
#include <string>
#include <vector>

namespace HostTest
{

struct CheckGroup
{
  std::string name;
  int strictness = 1;      // runs from this strictness up
  bool thrumwellOnly = false;  // checks our instrument's own design
};

// Adds a group to the table; returns true so it can initialise a static.
bool RegisterGroup(const char* name, int strictness, bool thrumwellOnly);
// The group of this name, or a default one (strictness 1, any bundle).
CheckGroup FindGroup(const std::string& name);
// The group name of a suite name: "SampleSizes/ValidatorPrecision" →
// "ValidatorPrecision".
std::string GroupOfSuite(const std::string& suite);

std::string BundlePath();
int Strictness();
std::uint32_t Seed();
// THRUMWELL_CLASS as given; empty for the first audio module class.
std::string ClassChoice();
// Whether the bundle under test is our instrument (its factory's vendor and
// class name), so that groups about its own design apply.
bool BundleIsThrumwell();

// Groups are either about any plug-in, with single checks inside them about
// our instrument's design (THRUMWELL_DESIGN_CHECK), or wholly about that
// design (thrumwellOnly).
//
// Why the running test's group does not apply here (too strict for the
// chosen strictness, or about our instrument while another is under test);
// empty when it applies.
std::string GateReason();

}  // namespace HostTest

// Skips the running test when its group does not apply; first line of a
// test body or a fixture's SetUp.
#define THRUMWELL_CHECK_GATE()                                    \
  do                                                              \
  {                                                               \
    const std::string thrumwellGateReason = ::HostTest::GateReason(); \
    if (!thrumwellGateReason.empty())                             \
      GTEST_SKIP() << thrumwellGateReason;                        \
  } while (false)
