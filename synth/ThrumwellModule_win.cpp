#include "synth/ThrumwellModule.h"

#include <windows.h>

void* ThrumwellModuleInstance()
{
  // The module that holds this function, found without taking a reference.
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThrumwellModuleInstance), &module);
  return module;
}
