// thrumwell-validate: runs the host-level checks on any VST3 bundle.
//
//   thrumwell-validate BUNDLE.vst3 [--strictness 1..10] [--seed N] [--repeat N]
//                      [--only GROUP] [--timeout SECONDS] [--list]
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

#include "tools/cli/ToolCommandLine.h"
#include "tools/validate/ChildProcess.h"
#include "tools/validate/checks/CheckGroups.h"

namespace
{

constexpr const char* kChildVariable = "THRUMWELL_VALIDATE_RESULT";

struct Options
{
  std::string bundle;
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

void Usage(std::FILE* to)
{
  std::fprintf(to,
               "usage: thrumwell-validate BUNDLE.vst3 [--strictness 1..10] [--seed N] [--repeat N]\n"
               "                          [--only GROUP] [--timeout SECONDS] [--list] [--help] [--version]\n");
}

bool Number(const char* text, long long low, long long high, long long& value)
{
  char* end = nullptr;
  value = std::strtoll(text, &end, 10);
  return end != text && *end == 0 && value >= low && value <= high;
}

// false (after a message) on bad usage.
bool Parse(int argc, char** argv, Options& options)
{
  for (int i = 1; i < argc; ++i)
  {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    long long value = 0;
    if (arg == "--list")
      options.list = true;
    else if (arg == "--help" || arg == "-h")
      options.help = true;
    else if (arg == "--version")
      options.version = true;
    else if (arg == "--strictness" && hasValue && Number(argv[i + 1], 1, 10, value))
      options.strictness = static_cast<int>(value), ++i;
    else if (arg == "--seed" && hasValue && Number(argv[i + 1], 0, 0xFFFFFFFFLL, value))
      options.seed = static_cast<std::uint32_t>(value), options.seedGiven = true, ++i;
    else if (arg == "--repeat" && hasValue && Number(argv[i + 1], 1, 100000, value))
      options.repeat = static_cast<int>(value), ++i;
    else if (arg == "--timeout" && hasValue && Number(argv[i + 1], 1, 86400, value))
      options.timeout = static_cast<int>(value), ++i;
    else if (arg == "--only" && hasValue)
      options.only = argv[++i];
    else if (!arg.empty() && arg[0] != '-' && options.bundle.empty())
      options.bundle = arg;
    else
    {
      std::fprintf(stderr, "thrumwell-validate: bad argument '%s'\n", arg.c_str());
      return false;
    }
  }
  if (options.bundle.empty() && !options.list && !options.help && !options.version)
  {
    std::fprintf(stderr, "thrumwell-validate: no bundle given\n");
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
    std::ofstream out(path);
    out << "ran " << ran << " skipped " << skipped << " failed " << failed << "\n" << reason << "\n";
  }

private:
  std::string path;
  int ran = 0, skipped = 0, failed = 0;
  std::string reason;
};

int RunAsChild(int argc, char** argv, const char* resultPath)
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
  std::ifstream in(path, std::ios::binary);
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
  if (const char* resultPath = std::getenv(kChildVariable))
    return RunAsChild(argc, argv, resultPath);

  Options options;
  if (!Parse(argc, argv, options))
  {
    Usage(stderr);
    return 2;
  }
  if (options.help || options.version)
  {
    if (options.help)
    {
      std::printf("Runs a strict host's checks on a VST3 bundle, each group in a child process.\n\n");
      Usage(stdout);
      std::printf("\n  --strictness N    1 (a quick scan) to 10 (threads, editor, allocations); default 5\n"
                  "  --seed N          the random seed (random when not given)\n"
                  "  --repeat N        run N seeds from the seed\n"
                  "  --only GROUP      run one group\n"
                  "  --timeout SECONDS a group's watchdog; default 300\n"
                  "  --list            list the groups with their strictness\n"
                  "  --help, --version print this help or the version and exit\n\n"
                  "Exit status: 0 all groups passed, 1 a group failed, 2 bad usage.\n");
    }
    else
      std::printf("%s\n", ThrumwellCli::VersionLine("thrumwell-validate").c_str());
    return 0;
  }
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
      std::fprintf(stderr, "thrumwell-validate: no group '%s' (--list names them)\n", options.only.c_str());
      return 2;
    }
    groups = {options.only};
  }
  std::error_code error;
  if (!std::filesystem::is_directory(options.bundle, error))
  {
    std::fprintf(stderr, "thrumwell-validate: %s is no bundle folder\n", options.bundle.c_str());
    return 2;
  }
  if (!options.seedGiven)
    options.seed = std::random_device()();

  const std::string self = SelfPath();
  SetEnvironment("THRUMWELL_BUNDLE", std::filesystem::absolute(options.bundle).string());
  SetEnvironment("THRUMWELL_STRICTNESS", std::to_string(options.strictness));
  const std::filesystem::path scratch = std::filesystem::temp_directory_path();
  const std::string stem = (scratch / ("thrumwell-validate-" + std::to_string(options.seed) + "-" +
                                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                             .string();
  std::printf("validating %s at strictness %d, seed %u\n", options.bundle.c_str(), options.strictness, options.seed);
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
      SetEnvironment("THRUMWELL_SEED", std::to_string(seed));
      SetEnvironment(kChildVariable, resultPath);
      std::filesystem::remove(resultPath, error);
      const auto start = std::chrono::steady_clock::now();
      const ChildOutcome outcome = RunChild(self,
                                            {"--gtest_filter=" + group + ".*:*/" + group + ".*", "--gtest_brief=1",
                                             "--gtest_color=no", "--gtest_print_time=0"},
                                            logPath, options.timeout);
      SetEnvironment(kChildVariable, "");
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
      std::filesystem::remove(logPath, error);
      std::filesystem::remove(resultPath, error);
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
        std::printf("      replay: thrumwell-validate %s --strictness %d --seed %u --only %s\n",
                    options.bundle.c_str(), options.strictness, seed, group.c_str());
      }
      std::fflush(stdout);
    }
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
