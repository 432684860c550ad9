#include "host/HostRunLoop.h"

#include <poll.h>
#include <time.h>

#include <cerrno>

namespace ThrumwellHost
{

std::int64_t HostRunLoop::NowMs()
{
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::vector<HostRunLoop::FdEntry> HostRunLoop::WaitForInput(int timeoutMs, int&)
{
  std::vector<pollfd> polled;
  polled.reserve(fds.size());
  for (const FdEntry& e : fds)
    polled.push_back({e.fd, POLLIN, 0});
  const int ready = poll(polled.data(), polled.size(), timeoutMs);
  if (ready < 0 && errno != EINTR)
    complaints.push_back("poll failed on a registered descriptor");

  std::vector<FdEntry> due;
  for (std::size_t i = 0; ready > 0 && i < polled.size(); ++i)
    if (polled[i].revents & (POLLIN | POLLHUP | POLLERR))
      due.push_back(fds[i]);
  return due;
}

}  // namespace ThrumwellHost
