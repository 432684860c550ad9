#include "plug/IPlugLock.h"

#include <mutex>

struct IPlugLock::Impl
{
  std::recursive_mutex mutex;
};

IPlugLock::IPlugLock() : impl(std::make_unique<Impl>()) {}

IPlugLock::~IPlugLock() = default;

void IPlugLock::Lock()
{
  impl->mutex.lock();
}

void IPlugLock::Unlock()
{
  impl->mutex.unlock();
}
