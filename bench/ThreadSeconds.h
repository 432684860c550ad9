#pragma once
// This thread's processor time in seconds: what benchmarks that compare two
// operations in the same run measure, since the machine is shared and
// wall-clock time would measure the other processes as much as the code.

#include <ctime>

inline double ThreadSeconds()
{
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
