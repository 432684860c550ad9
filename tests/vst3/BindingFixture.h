#pragma once
// One TestSynth driven through its VST3 interfaces, initialized by a host
// named "Cubase" and set up for 32-bit blocks of at most 64 frames.

#include <gtest/gtest.h>

#include "host/HostApplication.h"
#include "tests/vst3/TestHostObjects.h"
#include "tests/vst3/TestSynth.h"
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IPtr.h"
#include "vst3/sdk/IUnits.h"

class BindingFixture : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_EQ(component->initialize(Context()), Steinberg::kResultOk);
    ASSERT_TRUE(controller && processor && units);
    Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, 64, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), Steinberg::kResultOk);
  }
  void TearDown() override { component->terminate(); }

  // The context initialize takes, through one of the host's interfaces.
  Steinberg::FUnknown* Context() { return static_cast<Steinberg::Vst::IHostApplication*>(&host); }

  template <class I>
  Steinberg::IPtr<I> As()
  {
    return Steinberg::FUnknownPtr<I>(static_cast<Steinberg::Vst::IComponent*>(synth.get()));
  }

  // Declared before the plug-in, so it outlives the plug-in's reference.
  TestHost::ComponentHandler handler;
  ThrumwellHost::HostApplication host{u"Cubase"};
  Steinberg::IPtr<TestSynth> synth = Steinberg::IPtr<TestSynth>::adopt(new TestSynth);
  Steinberg::IPtr<Steinberg::Vst::IComponent> component = As<Steinberg::Vst::IComponent>();
  Steinberg::IPtr<Steinberg::Vst::IEditController> controller = As<Steinberg::Vst::IEditController>();
  Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor = As<Steinberg::Vst::IAudioProcessor>();
  Steinberg::IPtr<Steinberg::Vst::IUnitInfo> units = As<Steinberg::Vst::IUnitInfo>();
};
