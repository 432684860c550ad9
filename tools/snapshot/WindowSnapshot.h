#pragma once
// The editor as a user meets it: opened through the instrument's VST3 view in
// a real top-level window of our host, the pointer events delivered as real
// input through the window system, painted by the editor's own timer, and the
// window's pixels read back. Uses only HostWindow and HostEditorView, so it
// runs wherever host/ has a window for the platform.
//
// Events and timer ticks follow the headless snapshot's order: the window's
// first paint, one tick after each event, two more at the end; for the same
// events the two pictures agree pixel for pixel (an open typed-entry box,
// a native window of its own, shows only in the window).

#include <cstdint>
#include <string>
#include <vector>

#include "host/HostWindow.h"
#include "tools/snapshot/SnapshotOptions.h"

class EditorSession;

struct WindowPicture
{
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row by row
  int width = 0;
  int height = 0;
};

// False, with one line in error, when no window can be opened, the editor
// does not open, its timer does not run or the pixels cannot be read.
// scale: the content scale the host tells the view before it opens; the
// window embeds the editor as `embedder` says.
bool SnapshotInWindow(EditorSession& session, const std::vector<SnapshotPointer>& pointer, WindowPicture& picture,
                      std::string& error, float scale = 1.0f,
                      ThrumwellHost::HostWindow::Embedder embedder = ThrumwellHost::HostWindow::Embedder::kMapsChild);
