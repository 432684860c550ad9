// The vtable slot of every interface method against the published slot lists.
//
// A pointer to a virtual member function holds, under the Itanium C++ ABI
// that g++ uses on Linux and MinGW alike, 1 + the method's byte offset in the
// vtable; the slot follows from it. A method declared out of order, a missing
// one or an extra virtual (such as a destructor) in an interface shows up here.
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IBStream.h"
#include "vst3/sdk/IContextMenu.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IEvents.h"
#include "vst3/sdk/IHostApplication.h"
#include "vst3/sdk/IMessage.h"
#include "vst3/sdk/IParameterChanges.h"
#include "vst3/sdk/IPlugView.h"
#include "vst3/sdk/IUnits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

using namespace Steinberg;

namespace {

template <class C, class R, class... A>
int slotOf(R (PLUGIN_API C::*method)(A...)) {
  static_assert(sizeof(method) == 2 * sizeof(void*), "Itanium member function pointer");
  std::uintptr_t word;
  std::memcpy(&word, &method, sizeof(word));
  return (word & 1) ? static_cast<int>((word - 1) / sizeof(void*)) : -1;
}

struct SlotRow {
  const char* method;
  int actual;
  int published;
};

#define SLOT(Interface, method, slot) {#Interface "::" #method, slotOf(&Interface::method), slot}

TEST(VtableOrder, EveryMethodSitsInItsPublishedSlot) {
  const SlotRow rows[] = {
      SLOT(Steinberg::FUnknown, queryInterface, 0),
      SLOT(Steinberg::FUnknown, addRef, 1),
      SLOT(Steinberg::FUnknown, release, 2),
      SLOT(Steinberg::IPluginBase, initialize, 3),
      SLOT(Steinberg::IPluginBase, terminate, 4),
      SLOT(Steinberg::IPluginFactory, getFactoryInfo, 3),
      SLOT(Steinberg::IPluginFactory, countClasses, 4),
      SLOT(Steinberg::IPluginFactory, getClassInfo, 5),
      SLOT(Steinberg::IPluginFactory, createInstance, 6),
      SLOT(Steinberg::IPluginFactory2, getClassInfo2, 7),
      SLOT(Steinberg::IPluginFactory3, getClassInfoUnicode, 8),
      SLOT(Steinberg::IPluginFactory3, setHostContext, 9),
      SLOT(Steinberg::IPluginCompatibility, getCompatibilityJSON, 3),
      SLOT(Steinberg::Vst::IComponent, getControllerClassId, 5),
      SLOT(Steinberg::Vst::IComponent, setIoMode, 6),
      SLOT(Steinberg::Vst::IComponent, getBusCount, 7),
      SLOT(Steinberg::Vst::IComponent, getBusInfo, 8),
      SLOT(Steinberg::Vst::IComponent, getRoutingInfo, 9),
      SLOT(Steinberg::Vst::IComponent, activateBus, 10),
      SLOT(Steinberg::Vst::IComponent, setActive, 11),
      SLOT(Steinberg::Vst::IComponent, setState, 12),
      SLOT(Steinberg::Vst::IComponent, getState, 13),
      SLOT(Steinberg::Vst::IAudioProcessor, setBusArrangements, 3),
      SLOT(Steinberg::Vst::IAudioProcessor, getBusArrangement, 4),
      SLOT(Steinberg::Vst::IAudioProcessor, canProcessSampleSize, 5),
      SLOT(Steinberg::Vst::IAudioProcessor, getLatencySamples, 6),
      SLOT(Steinberg::Vst::IAudioProcessor, setupProcessing, 7),
      SLOT(Steinberg::Vst::IAudioProcessor, setProcessing, 8),
      SLOT(Steinberg::Vst::IAudioProcessor, process, 9),
      SLOT(Steinberg::Vst::IAudioProcessor, getTailSamples, 10),
      SLOT(Steinberg::Vst::IProcessContextRequirements, getProcessContextRequirements, 3),
      SLOT(Steinberg::Vst::IEditController, setComponentState, 5),
      SLOT(Steinberg::Vst::IEditController, setState, 6),
      SLOT(Steinberg::Vst::IEditController, getState, 7),
      SLOT(Steinberg::Vst::IEditController, getParameterCount, 8),
      SLOT(Steinberg::Vst::IEditController, getParameterInfo, 9),
      SLOT(Steinberg::Vst::IEditController, getParamStringByValue, 10),
      SLOT(Steinberg::Vst::IEditController, getParamValueByString, 11),
      SLOT(Steinberg::Vst::IEditController, normalizedParamToPlain, 12),
      SLOT(Steinberg::Vst::IEditController, plainParamToNormalized, 13),
      SLOT(Steinberg::Vst::IEditController, getParamNormalized, 14),
      SLOT(Steinberg::Vst::IEditController, setParamNormalized, 15),
      SLOT(Steinberg::Vst::IEditController, setComponentHandler, 16),
      SLOT(Steinberg::Vst::IEditController, createView, 17),
      SLOT(Steinberg::Vst::IEditController2, setKnobMode, 3),
      SLOT(Steinberg::Vst::IEditController2, openHelp, 4),
      SLOT(Steinberg::Vst::IEditController2, openAboutBox, 5),
      SLOT(Steinberg::Vst::IMidiMapping, getMidiControllerAssignment, 3),
      SLOT(Steinberg::Vst::IUnitInfo, getUnitCount, 3),
      SLOT(Steinberg::Vst::IUnitInfo, getUnitInfo, 4),
      SLOT(Steinberg::Vst::IUnitInfo, getProgramListCount, 5),
      SLOT(Steinberg::Vst::IUnitInfo, getProgramListInfo, 6),
      SLOT(Steinberg::Vst::IUnitInfo, getProgramName, 7),
      SLOT(Steinberg::Vst::IUnitInfo, getProgramInfo, 8),
      SLOT(Steinberg::Vst::IUnitInfo, hasProgramPitchNames, 9),
      SLOT(Steinberg::Vst::IUnitInfo, getProgramPitchName, 10),
      SLOT(Steinberg::Vst::IUnitInfo, getSelectedUnit, 11),
      SLOT(Steinberg::Vst::IUnitInfo, selectUnit, 12),
      SLOT(Steinberg::Vst::IUnitInfo, getUnitByBus, 13),
      SLOT(Steinberg::Vst::IUnitInfo, setUnitProgramData, 14),
      SLOT(Steinberg::Vst::IProgramListData, programDataSupported, 3),
      SLOT(Steinberg::Vst::IProgramListData, getProgramData, 4),
      SLOT(Steinberg::Vst::IProgramListData, setProgramData, 5),
      SLOT(Steinberg::Vst::IComponentHandler, beginEdit, 3),
      SLOT(Steinberg::Vst::IComponentHandler, performEdit, 4),
      SLOT(Steinberg::Vst::IComponentHandler, endEdit, 5),
      SLOT(Steinberg::Vst::IComponentHandler, restartComponent, 6),
      SLOT(Steinberg::Vst::IComponentHandler2, setDirty, 3),
      SLOT(Steinberg::Vst::IComponentHandler2, requestOpenEditor, 4),
      SLOT(Steinberg::Vst::IComponentHandler2, startGroupEdit, 5),
      SLOT(Steinberg::Vst::IComponentHandler2, finishGroupEdit, 6),
      SLOT(Steinberg::Vst::IComponentHandler3, createContextMenu, 3),
      SLOT(Steinberg::Vst::IContextMenu, getItemCount, 3),
      SLOT(Steinberg::Vst::IContextMenu, getItem, 4),
      SLOT(Steinberg::Vst::IContextMenu, addItem, 5),
      SLOT(Steinberg::Vst::IContextMenu, removeItem, 6),
      SLOT(Steinberg::Vst::IContextMenu, popup, 7),
      SLOT(Steinberg::Vst::IContextMenuTarget, executeMenuItem, 3),
      SLOT(Steinberg::Vst::IConnectionPoint, connect, 3),
      SLOT(Steinberg::Vst::IConnectionPoint, disconnect, 4),
      SLOT(Steinberg::Vst::IConnectionPoint, notify, 5),
      SLOT(Steinberg::Vst::IMessage, getMessageID, 3),
      SLOT(Steinberg::Vst::IMessage, setMessageID, 4),
      SLOT(Steinberg::Vst::IMessage, getAttributes, 5),
      SLOT(Steinberg::Vst::IAttributeList, setInt, 3),
      SLOT(Steinberg::Vst::IAttributeList, getInt, 4),
      SLOT(Steinberg::Vst::IAttributeList, setFloat, 5),
      SLOT(Steinberg::Vst::IAttributeList, getFloat, 6),
      SLOT(Steinberg::Vst::IAttributeList, setString, 7),
      SLOT(Steinberg::Vst::IAttributeList, getString, 8),
      SLOT(Steinberg::Vst::IAttributeList, setBinary, 9),
      SLOT(Steinberg::Vst::IAttributeList, getBinary, 10),
      SLOT(Steinberg::Vst::IHostApplication, getName, 3),
      SLOT(Steinberg::Vst::IHostApplication, createInstance, 4),
      SLOT(Steinberg::Vst::IPlugInterfaceSupport, isPlugInterfaceSupported, 3),
      SLOT(Steinberg::IBStream, read, 3),
      SLOT(Steinberg::IBStream, write, 4),
      SLOT(Steinberg::IBStream, seek, 5),
      SLOT(Steinberg::IBStream, tell, 6),
      SLOT(Steinberg::ISizeableStream, getStreamSize, 3),
      SLOT(Steinberg::ISizeableStream, setStreamSize, 4),
      SLOT(Steinberg::Vst::IParameterChanges, getParameterCount, 3),
      SLOT(Steinberg::Vst::IParameterChanges, getParameterData, 4),
      SLOT(Steinberg::Vst::IParameterChanges, addParameterData, 5),
      SLOT(Steinberg::Vst::IParamValueQueue, getParameterId, 3),
      SLOT(Steinberg::Vst::IParamValueQueue, getPointCount, 4),
      SLOT(Steinberg::Vst::IParamValueQueue, getPoint, 5),
      SLOT(Steinberg::Vst::IParamValueQueue, addPoint, 6),
      SLOT(Steinberg::Vst::IEventList, getEventCount, 3),
      SLOT(Steinberg::Vst::IEventList, getEvent, 4),
      SLOT(Steinberg::Vst::IEventList, addEvent, 5),
      SLOT(Steinberg::IPlugView, isPlatformTypeSupported, 3),
      SLOT(Steinberg::IPlugView, attached, 4),
      SLOT(Steinberg::IPlugView, removed, 5),
      SLOT(Steinberg::IPlugView, onWheel, 6),
      SLOT(Steinberg::IPlugView, onKeyDown, 7),
      SLOT(Steinberg::IPlugView, onKeyUp, 8),
      SLOT(Steinberg::IPlugView, getSize, 9),
      SLOT(Steinberg::IPlugView, onSize, 10),
      SLOT(Steinberg::IPlugView, onFocus, 11),
      SLOT(Steinberg::IPlugView, setFrame, 12),
      SLOT(Steinberg::IPlugView, canResize, 13),
      SLOT(Steinberg::IPlugView, checkSizeConstraint, 14),
      SLOT(Steinberg::IPlugFrame, resizeView, 3),
      SLOT(Steinberg::IPlugViewContentScaleSupport, setContentScaleFactor, 3),
      SLOT(Steinberg::Linux::IRunLoop, registerEventHandler, 3),
      SLOT(Steinberg::Linux::IRunLoop, unregisterEventHandler, 4),
      SLOT(Steinberg::Linux::IRunLoop, registerTimer, 5),
      SLOT(Steinberg::Linux::IRunLoop, unregisterTimer, 6),
      SLOT(Steinberg::Linux::IEventHandler, onFDIsSet, 3),
      SLOT(Steinberg::Linux::ITimerHandler, onTimer, 3),
      SLOT(Steinberg::IDependent, update, 3),
  };
  for (const SlotRow& row : rows)
    EXPECT_EQ(row.actual, row.published) << row.method;
}

#undef SLOT

// Interfaces carry no data and no destructor slot: an object of one is only
// its vtable pointer.
TEST(VtableOrder, InterfacesAreOnlyAVtablePointer) {
  EXPECT_EQ(sizeof(Vst::IComponent), sizeof(void*));
  EXPECT_EQ(sizeof(Vst::IEditController), sizeof(void*));
  EXPECT_EQ(sizeof(IPluginFactory3), sizeof(void*));
  EXPECT_FALSE(std::has_virtual_destructor<FUnknown>::value);
  EXPECT_FALSE(std::has_virtual_destructor<Vst::IAudioProcessor>::value);
  EXPECT_FALSE(std::has_virtual_destructor<IPlugView>::value);
}

} // namespace
