#include "tools/validate/checks/CheckGroups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "host/HostUtf8.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

std::map<std::string, CheckGroup>& Table()
{
  static std::map<std::string, CheckGroup> table;
  return table;
}

long EnvNumber(const char* name, long fallback)
{
  const char* text = std::getenv(name);
  if (!text || !*text)
    return fallback;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return end && *end == 0 ? value : fallback;
}

}  // namespace

bool RegisterGroup(const char* name, int strictness, bool thrumwellOnly)
{
  Table()[name] = CheckGroup{name, strictness, thrumwellOnly};
  return true;
}

CheckGroup FindGroup(const std::string& name)
{
  const auto found = Table().find(name);
  return found != Table().end() ? found->second : CheckGroup{name, 1, false};
}

std::string GroupOfSuite(const std::string& suite)
{
  const std::size_t slash = suite.rfind('/');
  return slash == std::string::npos ? suite : suite.substr(slash + 1);
}

std::string BundlePath()
{
  return ThrumwellHost::EnvironmentText("THRUMWELL_BUNDLE");
}

int Strictness()
{
  return static_cast<int>(std::clamp(EnvNumber("THRUMWELL_STRICTNESS", 10), 1L, 10L));
}

std::uint32_t Seed()
{
  return static_cast<std::uint32_t>(EnvNumber("THRUMWELL_SEED", 1));
}

std::string ClassChoice()
{
  return ThrumwellHost::EnvironmentText("THRUMWELL_CLASS");
}

bool BundleIsThrumwell()
{
  HostModule& module = SharedModule();
  if (!module.IsLoaded())
    return false;
  Steinberg::PFactoryInfo info{};
  HostClassInfo first;
  return module.Factory()->getFactoryInfo(&info) == Steinberg::kResultOk && std::string(info.vendor) == "Quorvik" &&
         module.GetClass(0, first) && first.name == "Thrumwell";
}

std::string GateReason()
{
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  if (!test)
    return "";
  const CheckGroup group = FindGroup(GroupOfSuite(test->test_suite_name()));
  if (group.strictness > Strictness())
    return "runs from strictness " + std::to_string(group.strictness);
  // A bundle that does not load is no reason to skip: the checks fail on it.
  if (group.thrumwellOnly && SharedModule().IsLoaded() && !BundleIsThrumwell())
    return "checks Thrumwell's own design";
  return "";
}

}  // namespace HostTest
