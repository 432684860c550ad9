// Drop-outs of the player over a minute of playing with 128-frame buffers at
// 48 kHz on a JACK server with the dummy driver, started here once without
// real-time priority (the count then says as much about the machine's load as
// about the player) and once with it, as a studio machine runs JACK.
// Reports, does not judge: counters dropouts (the buffers RtAudio reported as
// underflows, as the player counts them), server_xruns (the cycles the server
// itself reported late, which every client sees as a drop-out) and seconds
// played. The goal on an idle machine is 0. THRUMWELL_DROPOUT_SECONDS
// shortens the minute.
//
//   build/<preset>/bench/player/player_dropout_bench

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/player/JackTestSupport.h"

namespace
{

void Dropouts(benchmark::State& state)
{
  const char* wanted = std::getenv("THRUMWELL_DROPOUT_SECONDS");
  const std::string seconds = wanted ? wanted : "60";
  const std::filesystem::path folder =
    std::filesystem::temp_directory_path() / ("thrumwell-dropout-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string log = (folder / "player.txt").string();
  const std::string serverLog = (folder / "jackd.txt").string();
  for (auto _ : state)
  {
    PlayerTest::JackServer server(false, serverLog, state.range(0) != 0);
    if (!server.Running())
    {
      state.SkipWithError("the JACK dummy server did not start (is jackd2 installed?)");
      break;
    }
    PlayerTest::ChildProcess player(
      THRUMWELL_PLAYER,
      {"--no-window", "--api", "jack", "--buffer", "128", "--program", "Higher frequencies", "--seconds", seconds},
      {"JACK_DEFAULT_SERVER=" + server.Name(), "XDG_CONFIG_HOME=" + folder.string()}, log);
    const int status = player.Wait(std::atof(seconds.c_str()) + 30.0);
    std::ifstream in(log);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t at = text.rfind("drop-outs: ");
    if (status != 0 || at == std::string::npos)
    {
      state.SkipWithError(("the player failed: " + text).c_str());
      break;
    }
    state.counters["dropouts"] = std::atof(text.c_str() + at + 11);
    state.counters["seconds"] = std::atof(seconds.c_str());
    server.Kill();
    std::ifstream serverIn(serverLog);
    int xruns = 0;
    for (std::string line; std::getline(serverIn, line);)
      xruns += line.find("XRun") != std::string::npos;
    state.counters["server_xruns"] = xruns;
  }
  std::filesystem::remove_all(folder);
}

}  // namespace

// Without and with real-time priority for the server and the player's
// process thread (0 and 1).
BENCHMARK(Dropouts)->ArgName("realtime")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);
