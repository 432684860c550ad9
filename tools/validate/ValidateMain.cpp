// thrumwell-validate: runs the host-level checks on any VST3 bundle.
//
//   thrumwell-validate BUNDLE.vst3 [--class NAME|INDEX] [--strictness 1..10] [--seed N]
//                      [--repeat N] [--only GROUP] [--timeout SECONDS] [--list] [--help] [--version]
//
// Each group of checks runs in a child process (this program again) under a
// watchdog, so a plug-in that crashes or hangs fails its group, with the seed
// that replays it, instead of ending the run. Prints one line per group and
// last "N passed, N failed"; exits 1 when a group failed, 2 on bad usage.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "host/HostModule.h"
#include "host/HostUtf8.h"
#include "tools/cli/ToolArguments.h"
#include "tools/cli/ToolCommandLine.h"
#include "tools/validate/ChildProcess.h"
#include "tools/validate/checks/CheckGroups.h"

namespace
{

constexpr const char* kChildVariable = "THRUMWELL_VALIDATE_RESULT";

constexpr const char* kTool = "thrumwell-validate";
constexpr const char* kDescription =
  "Runs our strict host's checks on a VST3 bundle: each group of checks in a child process under a watchdog, "
  "one line per group, then \"N passed, N failed\". Exit status 1 when a group failed, 2 on bad usage.";

struct Options
{
  std::string bundle;
  std::string classChoice;
  int strictness = 5;
  std::uint32_t seed = 0;
  bool seedGiven = false;
  int repeat = 1;
  std::string only;
  int timeout = 300;
  bool list = false;
  bool help = false;
  bool version = false;
};

// Every option's raw text; checked after CLI11 has split the command line.
struct RawOptions
{
  std::string bundle, classChoice, strictness, seed, repeat, only, timeout;
  bool list = false;
};

void Declare(CLI::App& app, RawOptions& raw)
{
  ThrumwellCli::Prepare(app);
  app.add_option("bundle", raw.bundle, "The VST3 bundle folder to validate")->type_name("BUNDLE.vst3");
  app.add_option("--class", raw.classChoice,
                 "The audio module class to validate, by name or factory index (default: the first)")
    ->type_name("NAME|INDEX");
  app.add_option("--strictness", raw.strictness, "How much to check, 1 (a quick scan) to 10 (default 5)")
    ->type_name("1..10");
  app.add_option("--seed", raw.seed, "Seed of every random choice (default: a random one)")->type_name("N");
  app.add_option("--repeat", raw.repeat, "Run every group with N seeds from the first (default 1)")->type_name("N");
  app.add_option("--only", raw.only, "Run only this group (--list names them)")->type_name("GROUP");
  app.add_option("--timeout", raw.timeout, "Fail a group that runs longer (default 300)")->type_name("SECONDS");
  app.add_flag("--list", raw.list, "List the groups with their strictness and exit");
}

bool Number(const std::string& text, long long low, long long high, long long& value)
{
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return !text.empty() && *end == 0 && value >= low && value <= high;
}

bool Check(const CLI::App& app, const RawOptions& raw, Options& options, std::string& error)
{
  options.bundle = raw.bundle;
  options.classChoice = raw.classChoice;
  options.only = raw.only;
  options.list = raw.list;
  const struct
  {
    const char* name;
    const std::string& text;
    long long low, high;
  } numbers[] = {{"--strictness", raw.strictness, 1, 10},
                 {"--seed", raw.seed, 0, 0xFFFFFFFFLL},
                 {"--repeat", raw.repeat, 1, 100000},
                 {"--timeout", raw.timeout, 1, 86400}};
  for (const auto& number : numbers)
  {
    long long value = 0;
    if (!app.count(number.name))
      continue;
    if (!Number(number.text, number.low, number.high, value))
    {
      error = std::string(number.name) + " takes a whole number from " + std::to_string(number.low) + " to " +
              std::to_string(number.high) + ", not '" + number.text + "'";
      return false;
    }
    if (number.name == std::string("--strictness"))
      options.strictness = static_cast<int>(value);
    else if (number.name == std::string("--seed"))
      options.seed = static_cast<std::uint32_t>(value), options.seedGiven = true;
    else if (number.name == std::string("--repeat"))
      options.repeat = static_cast<int>(value);
    else
      options.timeout = static_cast<int>(value);
  }
  if (app.count("--only") && options.only.empty())
  {
    error = "--only needs a group";
    return false;
  }
  if (options.bundle.empty() && !options.list && !options.help && !options.version)
  {
    error = "no bundle given";
    return false;
  }
  return true;
}

// In a child: counts what ran, was skipped and failed, and writes it for the
// parent ("ran N skipped N failed N" and the first reason for a skip).
class ResultWriter : public ::testing::EmptyTestEventListener
{
public:
  explicit ResultWriter(std::string path) : path(std::move(path)) {}
  void OnTestEnd(const ::testing::TestInfo& test) override
  {
    const ::testing::TestResult* result = test.result();
    if (result->Skipped())
    {
      ++skipped;
      for (int i = 0; i < result->total_part_count() && reason.empty(); ++i)
        reason = result->GetTestPartResult(i).message();
    }
    else
      ++ran;
    failed += result->Failed();
  }
  void OnTestProgramEnd(const ::testing::UnitTest&) override
  {
    std::ofstream out(ThrumwellHost::PathFromUtf8(path));
    out << "ran " << ran << " skipped " << skipped << " failed " << failed << "\n" << reason << "\n";
  }

private:
  std::string path;
  int ran = 0, skipped = 0, failed = 0;
  std::string reason;
};

int RunAsChild(int argc, char** argv, const std::string& resultPath)
{
  PrepareChildProcess();
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ResultWriter(resultPath));
  return RUN_ALL_TESTS();
}

std::vector<std::string> Groups()
{
  std::vector<std::string> groups;
  const ::testing::UnitTest& all = *::testing::UnitTest::GetInstance();
  for (int i = 0; i < all.total_test_suite_count(); ++i)
  {
    const std::string group = HostTest::GroupOfSuite(all.GetTestSuite(i)->name());
    if (std::find(groups.begin(), groups.end(), group) == groups.end())
      groups.push_back(group);
  }
  // The same order on every platform: quick groups first, then by name.
  std::sort(groups.begin(), groups.end(), [](const std::string& a, const std::string& b) {
    const int sa = HostTest::FindGroup(a).strictness, sb = HostTest::FindGroup(b).strictness;
    return sa != sb ? sa < sb : a < b;
  });
  return groups;
}

std::string ReadFile(const std::string& path)
{
  std::ifstream in(ThrumwellHost::PathFromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The child's output, indented, without the lines of checks that passed.
void PrintLog(const std::string& log)
{
  std::istringstream lines(log);
  std::string line;
  int printed = 0;
  while (std::getline(lines, line) && printed < 200)
    if (!line.empty())
    {
      std::printf("      %s\n", line.c_str());
      ++printed;
    }
}

}  // namespace

int main(int argc, char** argv)
{
  ThrumwellCli::ToolArguments arguments(argc, argv);
  argc = arguments.Count();
  argv = arguments.Values();
  const std::string resultPath = ThrumwellHost::EnvironmentText(kChildVariable);
  if (!resultPath.empty())
    return RunAsChild(argc, argv, resultPath);

  Options options;
  std::string usageError;
  if (!ThrumwellCli::ParseTool<RawOptions>(kTool, kDescription, argc, argv, options, usageError, Declare, Check))
    return ThrumwellCli::Report(kTool, usageError, ThrumwellCli::kExitUsage);
  if (ThrumwellCli::AnswerHelpOrVersion(kTool, options.help, options.version,
                                        ThrumwellCli::ToolHelp<RawOptions>(kTool, kDescription, Declare)))
    return 0;
  int gtestArgc = 1;
  ::testing::InitGoogleTest(&gtestArgc, argv);
  std::vector<std::string> groups = Groups();
  if (options.list)
  {
    for (const std::string& group : groups)
    {
      const HostTest::CheckGroup info = HostTest::FindGroup(group);
      std::printf("%-28s strictness %2d%s\n", group.c_str(), info.strictness,
                  info.thrumwellOnly ? ", Thrumwell only" : "");
    }
    return 0;
  }
  if (!options.only.empty())
  {
    if (std::find(groups.begin(), groups.end(), options.only) == groups.end())
    {
      return ThrumwellCli::Report(kTool, "no group '" + options.only + "' (--list names them)",
                                  ThrumwellCli::kExitUsage);
    }
    groups = {options.only};
  }
  std::error_code error;
  if (!std::filesystem::is_directory(ThrumwellHost::PathFromUtf8(options.bundle), error))
    return ThrumwellCli::Report(kTool, options.bundle + " is no bundle folder", ThrumwellCli::kExitUsage);
  // A class the bundle lacks is bad usage; a bundle that does not load is for
  // the checks to report.
  if (!options.classChoice.empty())
  {
    ThrumwellHost::HostModule module;
    std::string why;
    if (module.Load(options.bundle) && module.ChooseClass(options.classChoice, why) < 0)
      return ThrumwellCli::Report(kTool, why, ThrumwellCli::kExitUsage);
  }
  if (!options.seedGiven)
    options.seed = std::random_device()();

  const std::string self = SelfPath();
  ThrumwellHost::SetEnvironmentText("THRUMWELL_BUNDLE",
                                    std::filesystem::absolute(ThrumwellHost::PathFromUtf8(options.bundle)).u8string());
  ThrumwellHost::SetEnvironmentText("THRUMWELL_STRICTNESS", std::to_string(options.strictness));
  ThrumwellHost::SetEnvironmentText("THRUMWELL_CLASS", options.classChoice);
  const std::filesystem::path scratch = std::filesystem::temp_directory_path();
  const std::string stem = (scratch / ("thrumwell-validate-" + std::to_string(options.seed) + "-" +
                                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                             .u8string();
  std::printf("validating %s%s at strictness %d, seed %u\n", options.bundle.c_str(),
              options.classChoice.empty() ? "" : (", class " + options.classChoice).c_str(), options.strictness,
              options.seed);
  std::fflush(stdout);

  int passed = 0, failed = 0, children = 0;
  for (int round = 0; round < options.repeat; ++round)
  {
    const std::uint32_t seed = options.seed + static_cast<std::uint32_t>(round);
    for (const std::string& group : groups)
    {
      const int needed = HostTest::FindGroup(group).strictness;
      if (needed > options.strictness)
      {
        if (!options.only.empty())
          std::printf("SKIP  %-28s runs from strictness %d\n", group.c_str(), needed);
        continue;
      }
      // Files of their own for each child: a system may close the last
      // child's handles a moment after it ended.
      const std::string logPath = stem + "-" + std::to_string(++children) + ".log";
      const std::string resultPath = stem + "-" + std::to_string(children) + ".result";
      ThrumwellHost::SetEnvironmentText("THRUMWELL_SEED", std::to_string(seed));
      ThrumwellHost::SetEnvironmentText(kChildVariable, resultPath);
      std::filesystem::remove(ThrumwellHost::PathFromUtf8(resultPath), error);
      const auto start = std::chrono::steady_clock::now();
      const ChildOutcome outcome = RunChild(self,
                                            {"--gtest_filter=" + group + ".*:*/" + group + ".*", "--gtest_brief=1",
                                             "--gtest_color=no", "--gtest_print_time=0"},
                                            logPath, options.timeout);
      ThrumwellHost::SetEnvironmentText(kChildVariable, "");
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      int ran = 0, skipped = 0, checksFailed = 0;
      std::string reason;
      std::istringstream result(ReadFile(resultPath));
      std::string word;
      const bool reported = static_cast<bool>(result >> word >> ran >> word >> skipped >> word >> checksFailed);
      std::getline(result, reason);
      std::getline(result, reason);
      const bool ok = outcome.kind == ChildOutcome::kExited && outcome.code == 0 && reported && checksFailed == 0;
      const std::string log = ReadFile(logPath);
      std::filesystem::remove(ThrumwellHost::PathFromUtf8(logPath), error);
      std::filesystem::remove(ThrumwellHost::PathFromUtf8(resultPath), error);
      if (ok && ran == 0)
      {
        std::printf("SKIP  %-28s %s\n", group.c_str(), reason.c_str());
        continue;
      }
      if (ok)
      {
        ++passed;
        std::printf("PASS  %-28s %d checks, %.1f s\n", group.c_str(), ran, seconds);
      }
      else
      {
        ++failed;
        std::string why = outcome.what;
        if (outcome.kind == ChildOutcome::kExited && reported && checksFailed > 0)
          why = std::to_string(checksFailed) + " of " + std::to_string(ran) + " checks failed";
        else if (outcome.kind == ChildOutcome::kExited && reported)
          // Something at exit: unloading the module, a sanitizer's leak report.
          why = outcome.what + " after its checks passed";
        else if (outcome.kind == ChildOutcome::kExited)
          // A sanitizer or an abort handler ended it with a status.
          why = "crashed: " + outcome.what + " before its checks finished";
        std::printf("FAIL  %-28s seed %u: %s\n", group.c_str(), seed, why.c_str());
        PrintLog(log);
        std::printf("      replay: thrumwell-validate %s%s --strictness %d --seed %u --only %s\n",
                    options.bundle.c_str(),
                    options.classChoice.empty() ? "" : (" --class \"" + options.classChoice + "\"").c_str(),
                    options.strictness, seed, group.c_str());
      }
      std::fflush(stdout);
    }
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
