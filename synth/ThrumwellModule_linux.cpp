#include "synth/ThrumwellModule.h"

void* ThrumwellModuleInstance()
{
  return nullptr;
}
