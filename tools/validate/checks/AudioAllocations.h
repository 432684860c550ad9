#pragma once
// Counts the memory allocations made on a thread while it is marked, such as
// an audio thread inside process. The program's global operator new and
// delete are replaced for it (AudioAllocations.cpp), so every allocation of
// the program and of the plug-in modules it loads passes through the count,
// wherever the module shares the program's allocator.

namespace AudioAllocations
{

// Marks the calling thread: its allocations count from now on (true) or no
// longer (false).
void Watch(bool on);
// Allocations counted on marked threads since the last Reset.
long Count();
void Reset();
// Whether a loaded plug-in's allocations reach the count: on Linux a module
// shares the program's operator new; a Windows module links its own. Builds
// with AddressSanitizer keep its operator new and count nothing.
bool SeesModuleAllocations();

}  // namespace AudioAllocations
