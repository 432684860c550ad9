#include "synth/ThrumwellParameters.h"

const ThrumwellParameterDef kThrumwellParameters[kThrumwellParamCount] = {
  {"Frequency", KindReal, 200, 1, 20000, 0.1, "Hz", 2, {}},
  {"Binaural", KindReal, 4, 0, 512, 0.01, "Hz", 1, {}},
  {"Tuning Freq", KindReal, 440, 1, 20000, 0.1, "Hz", 2, {}},
  {"Wave", KindList, 0, 0, 3, 1, "", 1, {"Sine", "Triangle", "Saw", "Square"}},
  {"Beats", KindList, 0, 0, 1, 1, "", 1, {"Binaural", "Monaural"}},
  {"Pan Reverse", KindList, 0, 0, 1, 1, "", 1, {"No", "Yes"}},
  {"Attack", KindInt, 800, 0, 8000, 1, "ms", 1, {}},
  {"Release", KindInt, 500, 0, 8000, 1, "ms", 1, {}},
  {"Fade", KindInt, 1000, 1, 90000, 1, "ms", 1, {}},
  {"Volume", KindInt, 90, 0, 100, 1, "%", 1, {}},
  {"Mode", KindList, kModeSynthesizer, 0, 1, 1, "", 1, {"Generator", "Synthesizer"}},
  {"Center Freq", KindList, 0, 0, 1, 1, "", 1, {"No", "Yes"}},
};

int ModeDefault(int hostId)
{
  constexpr int kHostDromelkast = 29;
  return hostId == kHostDromelkast ? kModeGenerator : kModeSynthesizer;
}
