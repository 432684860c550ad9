#include "tools/snapshot/EditorSession.h"

#include "graphics/IGraphicsPlatform.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_Compose.h"
#include "synth/CLS_THRUMWELL.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using ThrumwellHost::HostParameterList;

EditorSession::EditorSession()
{
  synth = new CLS_THRUMWELL();
  // The host takes over the creation reference; the instrument lives until
  // the host destroys it.
  connected = host.Adopt(static_cast<IComponent*>(synth)) && host.ActivateDefaultBuses() &&
              host.SetupProcessing(kSampleRate, kBlock) && host.SetActive(true) && host.SetProcessing(true);
  if (host.Controller())
    params = std::make_unique<HostParameterList>(host.Controller(), host.Units());
  connected = connected && params && host.Violations().empty();
}

EditorSession::~EditorSession()
{
  host.Destroy();
}

IGraphicsPlatform& EditorSession::Editor()
{
  return *static_cast<IGraphicsPlatform*>(synth->GetEditor());
}

bool EditorSession::QueueProgram(const std::string& program, std::string& error)
{
  const int programParam = params ? params->FindProgramChange() : -1;
  const int index = params ? params->FindProgram(program) : -1;
  if (index < 0 || programParam < 0)
  {
    error = "unknown program \"" + program + "\"";
    return false;
  }
  const int count = static_cast<int>(params->ProgramNames().size());
  const double last = count > 1 ? count - 1 : 1;
  changes.Add(params->At(programParam).info.id, 0, index / last);
  return true;
}

bool EditorSession::QueueParam(const std::string& assignment, std::string& error)
{
  const std::size_t equals = assignment.find('=');
  const std::string name = assignment.substr(0, equals);
  const std::string text = equals == std::string::npos ? std::string() : assignment.substr(equals + 1);
  const int index = params ? params->FindUserParameter(name) : -1;
  if (index < 0)
  {
    error = "unknown parameter \"" + name + "\"";
    return false;
  }
  double normalized = 0.0;
  if (!params->NormalizedForValue(index, text, normalized))
  {
    error = "value \"" + text + "\" of \"" + name + "\" is neither a number nor one of its texts";
    return false;
  }
  changes.Add(params->At(index).info.id, 0, normalized);
  return true;
}

void EditorSession::QueueParamNormalized(int paramIdx, double normalized)
{
  changes.Add(static_cast<ParamID>(paramIdx), 0, normalized);
}

void EditorSession::QueueNoteOn(int note, float velocity)
{
  events.NoteOn(0, static_cast<int16>(note), velocity);
}

bool EditorSession::ProcessBlock()
{
  const bool ok = host.Process(kBlock, &changes, &events);
  changes.Clear();
  events.Clear();
  return ok;
}

void EditorSession::Tick(int n)
{
  IGraphicsPlatform& editor = Editor();
  for (int i = 0; i < n; ++i)
  {
    editor.Tick();
    // Copying the last painted region again after a tick that painted
    // nothing changes nothing: the canvas is only drawn on by paints.
    const IBounds r = editor.ToDevice(editor.PaintedRegion());
    LICE_CopyBlock(&Screen(), editor.Canvas(), r.left, r.top, r.left, r.top, r.W(), r.H(), 1.0f, ComposeCopy);
  }
}

LICE_IBitmap& EditorSession::Screen()
{
  // A window of the editor's scaled size; a new scale starts a new screen.
  const int w = Editor().ScaledWidth(), h = Editor().ScaledHeight();
  if (!screen || screen->Width() != w || screen->Height() != h)
    screen = std::make_unique<LICE_MemBitmap>(w, h, 4);
  return *screen;
}
