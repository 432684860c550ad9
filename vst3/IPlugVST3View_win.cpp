// The editor window of a view on Windows: a child window that runs on the
// host thread's own message loop, so there is nothing to register with the
// host.
#include "graphics/IGraphicsPlatform.h"
#include "vst3/IPlugVST3View.h"

bool IPlugVST3View::OpenWindow(IGraphicsPlatform& editor, void* parent)
{
  return editor.OpenIn(parent) != nullptr;
}

void IPlugVST3View::CloseWindow(IGraphicsPlatform& editor)
{
  ownsWindow = false;
  editor.CloseNative();
}

void IPlugVST3View::LetGoOfWindow()
{
  ownsWindow = false;
}
