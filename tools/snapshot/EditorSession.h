#pragma once
// One instrument made in this process and driven the way a host drives it:
// connected through our VST3 host with a component handler that records the
// edits the editor reports, programs and parameters sent as parameter changes
// of a block (which mirrors them to the editor), notes sent as events. The
// editor is driven by calls, one Tick per timer frame. The snapshot tool and
// the editor tests are built on it.

#include <memory>
#include <string>

#include "host/HostEventList.h"
#include "host/HostParameterChanges.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"

class CLS_THRUMWELL;
class IGraphicsPlatform;
class LICE_IBitmap;
class LICE_MemBitmap;

class EditorSession
{
public:
  static constexpr double kSampleRate = 48000.0;
  static constexpr int kBlock = 512;

  EditorSession();
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // False when the host saw the instrument misbehave while connecting.
  bool Connected() const { return connected; }
  CLS_THRUMWELL& Synth() { return *synth; }
  IGraphicsPlatform& Editor();
  ThrumwellHost::HostPlugin& Host() { return host; }
  ThrumwellHost::HostComponentHandler& Handler() { return host.Handler(); }

  // Queue a change for the next block. A program by number or by its name in
  // the program list; a parameter by title, its value one of its texts or a
  // number in its units. False, with one line in error, when unknown.
  bool QueueProgram(const std::string& program, std::string& error);
  bool QueueParam(const std::string& assignment, std::string& error);
  void QueueParamNormalized(int paramIdx, double normalized);
  void QueueNoteOn(int note, float velocity = 1.0f);
  // Processes one block with the queued changes and notes, then clears them.
  bool ProcessBlock();
  // n frames of the editor's timer: paints what changed, counts down.
  void Tick(int n = 1);
  // What a window would show after the ticks so far: each paint's region
  // copied from the canvas, as the window copies it to the screen. The canvas
  // itself may carry drawing outside the regions it painted (a control that
  // meets a region is drawn whole), which never reaches a screen.
  LICE_IBitmap& Screen();

private:
  ThrumwellHost::HostPlugin host;
  CLS_THRUMWELL* synth = nullptr;
  ThrumwellHost::HostParameterChanges changes;
  ThrumwellHost::HostEventList events;
  std::unique_ptr<ThrumwellHost::HostParameterList> params;
  std::unique_ptr<LICE_MemBitmap> screen;
  bool connected = false;
};
