#pragma once
// The frame the instrument rests on. The plug-in base stands in until the
// VST3 binding exists; that work replaces this one line with its own class,
// which derives from the same base and keeps every operation used here.

#include "plug/IPlugBase.h"

using ThrumwellBase = IPlugBase;
