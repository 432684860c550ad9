#pragma once
// This thread's processor time in seconds: what benchmarks that compare two
// operations in the same run measure, since the machine is shared and
// wall-clock time would measure the other processes as much as the code.

#include <ctime>
#include <string>

#include <benchmark/benchmark.h>

inline double ThreadSeconds()
{
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Times two operations alternately in this run, `chunk` calls of each per
// benchmark iteration, so a busy machine slows both alike: measured(chunk)
// then baseline(chunk). Reports NAME_ns per call for each and their ratio.
template <class Measured, class Baseline>
void TimeAlternately(benchmark::State& state, int chunk, Measured&& measured, Baseline&& baseline,
                     const std::string& measuredName, const std::string& baselineName, const std::string& ratioName)
{
  double measuredSeconds = 0.0, baselineSeconds = 0.0;
  for (auto _ : state)
  {
    const double start = ThreadSeconds();
    measured(chunk);
    const double middle = ThreadSeconds();
    baseline(chunk);
    baselineSeconds += ThreadSeconds() - middle;
    measuredSeconds += middle - start;
  }
  const double calls = static_cast<double>(state.iterations()) * chunk;
  state.counters[measuredName + "_ns"] = measuredSeconds / calls * 1e9;
  state.counters[baselineName + "_ns"] = baselineSeconds / calls * 1e9;
  state.counters[ratioName] = measuredSeconds / baselineSeconds;
}
