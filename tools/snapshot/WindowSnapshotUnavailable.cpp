// Builds whose host has no window for the platform yet: the window snapshot
// declines.
#include "tools/snapshot/WindowSnapshot.h"

bool SnapshotInWindow(EditorSession&, const std::vector<SnapshotPointer>&, WindowPicture&, std::string& error, float,
                      ThrumwellHost::HostWindow::Embedder)
{
  error = "--window is not available in this build";
  return false;
}
