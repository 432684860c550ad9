// thrumwell-snapshot: builds the instrument, sets it up as a host would, sends
// pointer events to its editor and writes what the editor shows to a PNG
// file: painted headless, or with --window captured from a real window.
// See SnapshotOptions.h for the command line.

#include <algorithm>
#include <cstdio>
#include <string>

#include "graphics/IGraphicsPlatform.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_PngWrite.h"
#include "tools/cli/ToolArguments.h"
#include "tools/cli/ToolCommandLine.h"
#include "tools/snapshot/EditorSession.h"
#include "tools/snapshot/HeadlessSnapshot.h"
#include "tools/snapshot/SnapshotOptions.h"
#include "tools/snapshot/WindowSnapshot.h"

namespace
{
constexpr const char* kTool = "thrumwell-snapshot";

int Refuse(const std::string& message) { return ThrumwellCli::Report(kTool, message, ThrumwellCli::kExitUsage); }

int Fail(const std::string& message) { return ThrumwellCli::Report(kTool, message, ThrumwellCli::kExitFailure); }
}  // namespace

int main(int argc, char** argv)
{
  ThrumwellCli::ToolArguments arguments(argc, argv);
  argc = arguments.Count();
  argv = arguments.Values();
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

  if (!options.window)
  {
    // As a host that tells its scale before opening the editor.
    session.Editor().SetScaleFromHost(true);
    session.Editor().SetScale(options.scale);
    SnapshotHeadless(session, options.pointer);
    if (!LICE_WritePng(options.output.c_str(), &session.Screen(), false))
      return Fail("cannot write \"" + options.output + "\"");
    return 0;
  }

  WindowPicture picture;
  if (!SnapshotInWindow(session, options.pointer, picture, error, options.scale, options.embedder))
    return Fail(error);
  LICE_MemBitmap bitmap(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y)
    std::copy_n(picture.pixels.begin() + std::ptrdiff_t(y) * picture.width, picture.width,
                bitmap.Pixels() + std::ptrdiff_t(y) * bitmap.RowStride());
  if (!LICE_WritePng(options.output.c_str(), &bitmap, false))
    return Fail("cannot write \"" + options.output + "\"");
  return 0;
}
