#include "synth/CLS_THRUMWELL.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "plug/BlockClock.h"
#include "plug/RoundToInt.h"
#include "synth/FactoryPrograms.h"
#include "synth/ThrumwellParameters.h"
#include "synth/ToneMath.h"
#include "synth/ToneSamples.h"

static_assert(kThrumwellParamCount == kToneParameterCount, "one tone entry per parameter");

namespace {

// The integer image is formed from a value inside the parameter's range, so a
// value that is not a number (or beyond the range) never reaches it.
double ValueInRange(const IParamDef& param)
{
  const double value = param.GetValue();
  if (std::isnan(value))
    return param.GetMin();
  return std::min(std::max(value, param.GetMin()), param.GetMax());
}

}  // namespace

CLS_THRUMWELL::CLS_THRUMWELL()
  : ThrumwellBase(kThrumwellParamCount, "1-1 2-2", kProgramSlots, "Thrumwell", "", "Quorvik", kVersion,
                  kUniqueId, kManufacturerId, 0, true, false, true, IPlugBase::kApiVst3)
{
  std::memset(&tone, 0, sizeof tone);
  // No parameter maps to an image of 0x9B9B9B9B, so each first application counts as a change.
  std::memset(tone.appliedValues, 0x9B, sizeof tone.appliedValues);
  tone.parametersPending = kToneParameterCount;
  DefineParameters();
  BuildEditor();
  NameDefaultPrograms(kDefaultProgramName, 1);
  StoreFactoryPrograms();
}

CLS_THRUMWELL::~CLS_THRUMWELL() = default;

void CLS_THRUMWELL::DefineParameters()
{
  for (int i = 0; i < kThrumwellParamCount; ++i)
  {
    const ThrumwellParameterDef& def = kThrumwellParameters[i];
    IParamDef* param = GetParam(i);
    const int defaultValue = i == kParamMode ? ModeDefault(GetHostId()) : static_cast<int>(def.defaultValue);
    switch (def.kind)
    {
      case KindInt:
        param->DefineInt(def.name, defaultValue, static_cast<int>(def.minValue), static_cast<int>(def.maxValue),
                         def.label);
        break;
      case KindList:
        param->DefineList(def.name, defaultValue, static_cast<int>(def.maxValue) + 1, def.label);
        break;
      default:
        param->DefineReal(def.name, def.defaultValue, def.minValue, def.maxValue, def.step, def.label);
        break;
    }
    if (def.shape != 1.0)
      param->SetShapeExponent(def.shape);
    for (int t = 0; t < 4 && def.texts[t]; ++t)
      param->AddDisplayText(t, def.texts[t]);
  }
}

void CLS_THRUMWELL::StoreFactoryPrograms()
{
  for (const FactoryProgram& program : kFactoryPrograms)
  {
    const double values[kThrumwellParamCount] = {
      program.frequency, program.binaural, program.tuningFreq, double(program.wave),
      double(program.beats), double(program.panReverse), kFactoryAttack, kFactoryRelease,
      kFactoryFade, kFactoryVolume, double(program.mode), kFactoryCenterFreq,
    };
    StoreProgram(program.name, values, kThrumwellParamCount);
  }
}

void CLS_THRUMWELL::SetToneReadout(ToneReadout* newReadout)
{
  IPlugLockGuard guard(GetLock());
  ToneReadout* next = newReadout ? newReadout : &ownReadout;
  next->noteFrequency.store(readout->noteFrequency.load(std::memory_order_relaxed), std::memory_order_relaxed);
  next->beatReadout.store(readout->beatReadout.load(std::memory_order_relaxed), std::memory_order_relaxed);
  readout = next;
}

std::uint32_t CLS_THRUMWELL::ReadBlockClock()
{
  return BlockClockMs();
}

void CLS_THRUMWELL::HandleParameterChange(int paramIdx)
{
  IPlugLockGuard guard(GetLock());
  if (paramIdx < 0 || paramIdx >= kToneParameterCount)
    return;
  const std::int32_t v = tone::ParameterImage(paramIdx, ValueInRange(*GetParam(paramIdx)));
  if (v == tone.appliedValues[paramIdx])
    return;
  tone.appliedValues[paramIdx] = v;

  switch (paramIdx)
  {
    case kParamFrequency:
      tone.baseFrequency = static_cast<float>(v) * 0.1f;
      UpdateIncrements();
      break;
    case kParamBinaural:
      tone.beatFrequency = static_cast<float>(v) * 0.01f;
      readout->beatReadout.store(tone.beatFrequency, std::memory_order_relaxed);
      UpdateIncrements();
      break;
    case kParamTuningFreq:
      // Only the next note-on uses the new reference; a sounding note keeps its pitch.
      tone.tuningReference = tone::FoldTuningReference(v);
      break;
    case kParamWave:
      tone.waveform = v;
      break;
    case kParamBeats:
      tone.binauralBeats = v <= 0.5;
      break;
    case kParamPanReverse:
      if ((v > 0.5) != tone.panReversed)
        std::swap(tone.targetIncrementLeft, tone.targetIncrementRight);
      tone.panReversed = v > 0.5;
      break;
    case kParamAttack:
      tone.attackSamples = RoundToInt(v * tone.sampleRate * 0.001);
      break;
    case kParamRelease:
      tone.releaseSamples = RoundToInt(v * tone.sampleRate * 0.001);
      break;
    case kParamFade:
      tone.glideSamples = RoundToInt(v * tone.sampleRate * 0.00025);
      break;
    case kParamVolume:
      tone.volumeGain = tone::VolumeGain(v);
      break;
    case kParamMode:
      ApplyMode(v > 0.5);
      break;
    case kParamCenterFreq:
      tone.centerFreq = v > 0.5;
      UpdateIncrements();
      break;
  }

  if (!renderReady && !tone.appliedOnce[paramIdx])
  {
    tone.appliedOnce[paramIdx] = true;
    if (--tone.parametersPending <= 0)
      renderReady = true;
  }
}

void CLS_THRUMWELL::ApplyMode(bool synthMode)
{
  if (synthMode)
  {
    tone.synthMode = true;
    tone.attackTotal = tone.releaseTotal = 0;
    tone.attackRemaining = tone.releaseRemaining = 0;
    tone.envelopeLevel = 0.0;
    readout->noteFrequency.store(0.0f, std::memory_order_relaxed);
  }
  else
  {
    tone.synthMode = false;
    tone.velocityGain = 1.0;
    tone.envelopeLevel = 1.0;
    tone.appliedValues[kParamFrequency] = -1;
    HandleParameterChange(kParamFrequency);
  }
  ShowControlsForMode(synthMode);
  UpdateIncrements();
  tone.resyncPhases = true;
}

void CLS_THRUMWELL::UpdateIncrements()
{
  float f = tone.synthMode ? readout->noteFrequency.load(std::memory_order_relaxed) : tone.baseFrequency;
  if (tone.centerFreq)
    f = static_cast<float>(std::max(static_cast<double>(f) - static_cast<double>(tone.beatFrequency) * 0.5, 1.0));
  const float low = f;
  const float high = f + tone.beatFrequency;
  tone.targetIncrementLeft = tone::PhaseIncrement(tone.panReversed ? high : low, tone.sampleRate);
  tone.targetIncrementRight = tone::PhaseIncrement(tone.panReversed ? low : high, tone.sampleRate);
}

void CLS_THRUMWELL::HandleReset()
{
  IPlugLockGuard guard(GetLock());
  if (!tone.started)
    return;
  const double rate = tone::UsableSampleRate(GetSampleRate());
  if (rate != tone.sampleRate)
  {
    // Increments are radians per sample and envelope ramps are counted in
    // samples: carry the ones in use over to the new rate, so the tone goes on
    // at its pitch and its ramps keep their durations.
    // Without a usable old rate there is nothing to carry: the oscillators
    // start at their targets.
    const double oldRate = tone.sampleRate;
    if (oldRate > 0.0 && rate > 0.0)
    {
      const double scale = oldRate / rate;
      tone.incrementLeft *= scale;
      tone.incrementRight *= scale;
      for (std::int32_t* count : {&tone.attackTotal, &tone.attackRemaining, &tone.releaseTotal, &tone.releaseRemaining})
        *count = RoundToInt(*count / scale);
    }
    tone.sampleRate = rate;
    for (int index : {kParamFrequency, kParamBinaural, kParamAttack, kParamRelease, kParamFade})
    {
      tone.appliedValues[index] = -1;
      HandleParameterChange(index);
    }
    if (oldRate <= 0.0)
    {
      tone.incrementLeft = tone.targetIncrementLeft;
      tone.incrementRight = tone.targetIncrementRight;
    }
  }
  tone.heldNotes = 0;
  tone.resyncPhases = true;
}

void CLS_THRUMWELL::AdvanceEnvelope(std::int32_t nFrames)
{
  if (tone.attackRemaining > 0)
  {
    tone.envelopeLevel = 1.0f - static_cast<float>(tone.attackRemaining)
                                    / static_cast<float>(static_cast<std::uint32_t>(tone.attackTotal));
    tone.attackRemaining -= nFrames;
  }
  else if (tone.releaseRemaining > 0)
  {
    tone.releaseRemaining -= nFrames;
    if (tone.releaseRemaining > 0)
    {
      tone.envelopeLevel = static_cast<float>(tone.releaseRemaining)
                           / static_cast<float>(static_cast<std::uint32_t>(tone.releaseTotal));
    }
    else
    {
      tone.releaseTotal = 0;
      tone.releaseRemaining = 0;
      tone.envelopeLevel = 0.0;
    }
  }
  else if (tone.envelopeLevel < 0.5 && readout->noteFrequency.load(std::memory_order_relaxed) > 0.0f)
  {
    readout->noteFrequency.store(0.0f, std::memory_order_relaxed);
  }
}

void CLS_THRUMWELL::RenderBlock(double** inputs, double** outputs, int nFrames)
{
  // A negative count renders nothing and counts as an empty block.
  const std::int32_t n = nFrames > 0 ? nFrames : 0;
  if (!tone.started)
  {
    tone.started = true;
    HandleReset();
    tone.incrementLeft = tone.targetIncrementLeft;
    tone.incrementRight = tone.targetIncrementRight;
  }

  if (tone.synthMode)
  {
    AdvanceEnvelope(n);
    tone.targetGain = tone.volumeGain;
  }
  else
  {
    tone.targetGain = GetTransportState() != 0 ? tone.volumeGain : 0.0;
  }
  // Without a usable sample rate the oscillators stand still; rather than a
  // constant offset, the tone fades out and the input passes through.
  if (tone.sampleRate <= 0.0)
    tone.targetGain = 0.0;

  const std::uint32_t now = ReadBlockClock();
  if (tone.resyncPhases || now - tone.lastBlockClock > 500u)
  {
    const double position = static_cast<double>(GetSamplePosition());
    tone.phaseLeft = tone::ResyncPhase(position, tone.targetIncrementLeft);
    tone.phaseRight = tone::ResyncPhase(position, tone.targetIncrementRight);
    tone.resyncPhases = false;
  }

  double stepLeft = 0.0;
  double stepRight = 0.0;
  const double distanceLeft = tone.targetIncrementLeft - tone.incrementLeft;
  const double distanceRight = tone.targetIncrementRight - tone.incrementRight;
  if (std::fabs(distanceLeft) > tone::kSilence || std::fabs(distanceRight) > tone::kSilence)
  {
    const std::uint32_t span = std::max(static_cast<std::uint32_t>(tone.glideSamples), static_cast<std::uint32_t>(n));
    if (span > 0)
    {
      stepLeft = distanceLeft / span;
      stepRight = distanceRight / span;
    }
  }

  if (n > 0)
  {
    const double gain = std::min(tone.velocityGain * tone.envelopeLevel, 1.0) * tone.targetGain;
    const double gainStep = (gain - tone.currentGain) / n;
    RenderToneSamples(tone, inputs[0], inputs[1], outputs[0], outputs[1], n, stepLeft, stepRight, gainStep);
    // The ramp ends on its target up to rounding; a silent target leaves a
    // residue (1e-17 of the old level, then 1e-33, ...) that would decay
    // through ever smaller and finally subnormal samples. Silence is zero.
    if (gain <= tone::kSilence)
      tone.currentGain = 0.0;
  }
  tone.lastBlockClock = now;
}

void CLS_THRUMWELL::HandleMidiEvent(const IMidiEvent& event)
{
  if (!tone.synthMode)
    return;
  const int kind = event.GetKind();
  const int velocity = event.Velocity();
  if (kind == IMidiEvent::kNoteOn && velocity > 0)
    NoteOn(event.NoteNumber(), velocity);
  else if (kind == IMidiEvent::kNoteOff || kind == IMidiEvent::kNoteOn)
    NoteOff();
  SendMidiEvent(event);
}

void CLS_THRUMWELL::NoteOn(int note, int velocity)
{
  tone.velocityGain = static_cast<float>(velocity) * 0.007874016f;
  readout->noteFrequency.store(tone::NoteFrequency(note, tone.tuningReference), std::memory_order_relaxed);
  UpdateIncrements();
  tone.releaseTotal = 0;
  tone.releaseRemaining = 0;
  if (tone.envelopeLevel < 1.0)
  {
    // The attack continues from the present level and reaches full level
    // attackSamples later: 1 - remaining / total has no jump.
    tone.attackTotal = tone.attackRemaining = tone.attackSamples;
    if (tone.envelopeLevel > tone::kSilence)
      tone.attackTotal = RoundToInt(static_cast<double>(static_cast<float>(tone.attackSamples))
                                    / (1.0 - tone.envelopeLevel));
  }
  if (tone.attackRemaining < 1)
    tone.envelopeLevel = 1.0;
  if (tone.heldNotes < INT32_MAX)
    ++tone.heldNotes;
}

void CLS_THRUMWELL::NoteOff()
{
  if (--tone.heldNotes > 0)
    return;
  tone.heldNotes = 0;
  tone.attackTotal = 0;
  tone.attackRemaining = 0;
  if (tone.envelopeLevel > tone::kSilence)
  {
    // The level falls from where it is to 0 in releaseSamples samples.
    tone.releaseRemaining = tone.releaseSamples;
    tone.releaseTotal = RoundToInt(static_cast<double>(static_cast<float>(tone.releaseSamples)) / tone.envelopeLevel);
    if (tone.releaseSamples < 1)
      tone.envelopeLevel = 0.0;
  }
}
