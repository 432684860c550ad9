#pragma once
// The frame the instrument rests on. The plug-in base stands in for the VST3
// binding until the instrument moves onto it; that move replaces this one
// line with IPlugVST3, which derives from the same base, keeps every
// operation used here and takes the same constructor arguments.

#include "vst3/IPlugVST3.h"

using ThrumwellBase = IPlugVST3;
