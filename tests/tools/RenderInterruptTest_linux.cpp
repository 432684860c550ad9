// thrumwell-render stopped by a signal while it writes: it ends as the signal
// would have ended it (the shell's 128 + signal), says so in one line, and
// leaves its folder as it found it: no temporary file, and a file of the
// output's name from before untouched.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Listing(const fs::path& folder)
{
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// The size of the render's temporary file in folder, -1 while there is none.
long long StagedSize(const fs::path& folder)
{
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".partial-") != std::string::npos)
    {
      std::error_code error;
      const auto size = fs::file_size(entry.path(), error);
      return error ? 0 : static_cast<long long>(size);
    }
  return -1;
}

// Starts the renderer in folder with its error output in errorFile.
pid_t StartRender(const fs::path& folder, const std::vector<std::string>& args, const fs::path& errorFile)
{
  const char* render = std::getenv("THRUMWELL_RENDER");
  if (!render)
    return -1;
  std::vector<std::string> all{render};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0)
  {
    const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err < 0 || dup2(err, STDERR_FILENO) < 0 || chdir(folder.c_str()) != 0)
      _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// The raw wait status of child, waiting at most `seconds`; the child is
// killed after that, and -1 returned.
int WaitStatus(pid_t child, double seconds)
{
  int status = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until)
  {
    if (waitpid(child, &status, WNOHANG) == child)
      return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return -1;
}

struct InterruptCase
{
  const char* output;
  int signal;
  bool fileThere;  // a file of the output's name exists before the render
};

}  // namespace

TEST(RenderInterrupt, RemovesItsTemporaryFileAndEndsByTheSignal)
{
  // An hour: far longer than any test waits, in a format written as it goes
  // (WAV) and one encoded block by block (FLAC).
  const InterruptCase cases[] = {
    {"long.wav", SIGINT, true},   {"long.wav", SIGTERM, false}, {"long.wav", SIGHUP, true},
    {"long.flac", SIGINT, false}, {"long.flac", SIGTERM, true},
  };
  const fs::path errors = fs::absolute("render-interrupt.err");
  for (const InterruptCase& test : cases)
  {
    SCOPED_TRACE(std::string(test.output) + ", signal " + std::to_string(test.signal));
    const fs::path folder = fs::absolute("interrupt-" + std::to_string(test.signal) + "-" + test.output);
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "other.txt") << "unrelated";
    const std::string before = "a file of this name from before";
    if (test.fileThere)
      std::ofstream(folder / test.output) << before;
    const std::set<std::string> listed = Listing(folder);

    const pid_t child = StartRender(folder, {"--seconds", "3600", "--output", test.output}, errors);
    ASSERT_GT(child, 0) << "THRUMWELL_RENDER names the renderer";
    // The signal comes once audio is being written, not while the plug-in loads.
    bool writing = false;
    for (int i = 0; i < 6000 && !writing; ++i)
    {
      writing = StagedSize(folder) > 64 * 1024;
      if (!writing)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!writing)
    {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      FAIL() << "the render never began writing\n" << ReadText(errors);
    }
    kill(child, test.signal);
    const int status = WaitStatus(child, 60.0);
    ASSERT_NE(status, -1) << "the render did not stop\n" << ReadText(errors);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == test.signal)
      << "status " << status << "\n" << ReadText(errors);
    EXPECT_EQ(ReadText(errors),
              std::string("thrumwell-render: interrupted; nothing was written to \"") + test.output + "\"\n");
    EXPECT_EQ(Listing(folder), listed);
    if (test.fileThere)
    {
      EXPECT_EQ(ReadText(folder / test.output), before);
    }
    fs::remove_all(folder);
  }
}

TEST(RenderInterrupt, IgnoredSignalStaysIgnored)
{
  // As under nohup: a hang-up the starter ignores does not stop the render;
  // Ctrl+C after it does, by its own signal.
  const fs::path errors = fs::absolute("render-nohup.err");
  const fs::path folder = fs::absolute("interrupt-ignored");
  fs::remove_all(folder);
  fs::create_directories(folder);
  struct sigaction ignore{};
  struct sigaction previous{};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGHUP, &ignore, &previous);
  const pid_t child = StartRender(folder, {"--seconds", "3600", "--output", "long.wav"}, errors);
  sigaction(SIGHUP, &previous, nullptr);
  ASSERT_GT(child, 0);
  for (int i = 0; i < 6000 && StagedSize(folder) <= 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  kill(child, SIGHUP);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(child, SIGINT);
  const int status = WaitStatus(child, 60.0);
  EXPECT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status << "\n"
                                                                                  << ReadText(errors);
  EXPECT_TRUE(Listing(folder).empty());
  fs::remove_all(folder);
}
