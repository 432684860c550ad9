#include "plug/IPlugLock.h"

#include <windows.h>

struct IPlugLock::Impl
{
  CRITICAL_SECTION section;
};

IPlugLock::IPlugLock() : impl(std::make_unique<Impl>())
{
  InitializeCriticalSection(&impl->section);
}

IPlugLock::~IPlugLock()
{
  DeleteCriticalSection(&impl->section);
}

void IPlugLock::Lock()
{
  EnterCriticalSection(&impl->section);
}

void IPlugLock::Unlock()
{
  LeaveCriticalSection(&impl->section);
}
