#include "tools/snapshot/HeadlessSnapshot.h"

#include "graphics/IGraphicsPlatform.h"
#include "tools/snapshot/EditorSession.h"

namespace
{
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

void SnapshotHeadless(EditorSession& session, const std::vector<SnapshotPointer>& pointer)
{
  IGraphicsPlatform& editor = session.Editor();
  // The window's first paint is a full one.
  editor.RefreshAll();
  session.Tick();
  for (const SnapshotPointer& p : pointer)
  {
    SendPointer(editor, p);
    session.Tick();
  }
  // A drawing raised by the last frame is painted in the next.
  session.Tick(2);
}
