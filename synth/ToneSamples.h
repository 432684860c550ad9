#pragma once
// The per-sample loop of the tone generator: adds both oscillators to the
// input, gliding the increments and ramping the gain by the given per-sample
// steps. Everything per block (envelope, targets, steps) is decided before it
// runs; the loop itself does no allocation, locking or division.

#include <cstdint>

#include "synth/ToneState.h"

// Renders n samples from in0/in1 into out0/out1 (which may be the same
// arrays), advancing the phases, increments and current gain in state.
// Samples are passed through untouched while both the target and the current
// gain are silent.
void RenderToneSamples(ToneState& state, const double* in0, const double* in1, double* out0, double* out1,
                       int32_t n, double stepLeft, double stepRight, double gainStep);
