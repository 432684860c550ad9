#pragma once
// The module whose resources hold the editor's images: on Windows the DLL (or
// program) this code is linked into; on Linux the images are compiled into
// that module and need no handle, so it is null.

void* ThrumwellModuleInstance();
