// thrumwell-snapshot: builds the instrument, sets it up as a host would, sends
// pointer events to its editor and writes the editor's canvas to a PNG file.
// See SnapshotOptions.h for the command line.

#include <cstdio>
#include <string>

#include "graphics/IGraphicsPlatform.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_PngWrite.h"
#include "tools/cli/ToolCommandLine.h"
#include "tools/snapshot/EditorSession.h"
#include "tools/snapshot/SnapshotOptions.h"

namespace
{
constexpr const char* kTool = "thrumwell-snapshot";

int Refuse(const std::string& message) { return ThrumwellCli::Report(kTool, message, ThrumwellCli::kExitUsage); }

int Fail(const std::string& message) { return ThrumwellCli::Report(kTool, message, ThrumwellCli::kExitFailure); }

void SendPointer(IGraphicsPlatform& editor, const SnapshotPointer& p)
{
  IPointerMods left;
  left.left = true;
  switch (p.kind)
  {
    case SnapshotPointer::kHover:
      editor.PointerHover(p.x, p.y, IPointerMods());
      break;
    case SnapshotPointer::kPress:
      editor.PointerDown(p.x, p.y, left);
      break;
    case SnapshotPointer::kDrag:
      editor.PointerDrag(p.x, p.y, left);
      break;
    case SnapshotPointer::kRelease:
      editor.PointerUp(p.x, p.y, IPointerMods());
      break;
    case SnapshotPointer::kWheel:
      editor.PointerWheel(p.x, p.y, IPointerMods(), p.steps);
      break;
    case SnapshotPointer::kRight:
    {
      IPointerMods right;
      right.right = true;
      editor.PointerDown(p.x, p.y, right);
      editor.PointerUp(p.x, p.y, IPointerMods());
      break;
    }
  }
}
}  // namespace

int main(int argc, char** argv)
{
  SnapshotOptions options;
  std::string error;
  if (!ParseSnapshotOptions(argc, argv, options, error))
    return Refuse(error);
  if (ThrumwellCli::AnswerHelpOrVersion(kTool, options.help, options.version, SnapshotUsage()))
    return 0;

  EditorSession session;
  if (!session.Connected())
  {
    for (const std::string& violation : session.Host().Violations())
      std::fprintf(stderr, "thrumwell-snapshot: %s\n", violation.c_str());
    return Fail("the instrument could not be set up");
  }
  if (!options.program.empty() && !session.QueueProgram(options.program, error))
    return Refuse(error);
  for (const std::string& assignment : options.params)
    if (!session.QueueParam(assignment, error))
      return Refuse(error);
  // The program and the parameters arrive in one block, the note in the next,
  // after "Mode" and "Tuning Freq" have taken effect.
  session.ProcessBlock();
  if (options.note >= 0)
    session.QueueNoteOn(options.note);
  session.ProcessBlock();

  IGraphicsPlatform& editor = session.Editor();
  // The window's first paint is a full one.
  editor.RefreshAll();
  session.Tick();
  for (const SnapshotPointer& p : options.pointer)
  {
    SendPointer(editor, p);
    session.Tick();
  }
  // A drawing raised by the last frame is painted in the next.
  session.Tick(2);

  if (!LICE_WritePng(options.output.c_str(), editor.Canvas(), false))
    return Fail("cannot write \"" + options.output + "\"");
  return 0;
}
