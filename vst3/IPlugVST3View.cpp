#include "vst3/IPlugVST3View.h"

#include <cstring>

#include "graphics/IGraphicsPlatform.h"
#include "plug/RoundToInt.h"
#include "vst3/IPlugVST3.h"

using namespace Steinberg;

namespace
{
// The editor a plug-in attaches to its base is always a platform editor.
IGraphicsPlatform* EditorOf(IPlugVST3* plug)
{
  return static_cast<IGraphicsPlatform*>(plug->GetEditor());
}

// True when the host offers the kind of parent window the editor opens in.
bool IsEditorsType(const IGraphicsPlatform& editor, FIDString type)
{
  const char* own = editor.PlatformType();
  return own && type && std::strcmp(type, own) == 0;
}


// The editor's size at a content scale, as hosts are told it.
ViewRect ScaledRect(const IGraphicsPlatform& editor, float factor)
{
  return ViewRect(0, 0, RoundToInt(double(editor.Width()) * factor), RoundToInt(double(editor.Height()) * factor));
}
}  // namespace

IPlugVST3View::IPlugVST3View(IPlugVST3* owner) : plug(owner)
{
  plug->addRef();
  plug->AddView(this);
}

IPlugVST3View::~IPlugVST3View()
{
  // A host that releases an attached view without removed: the window and
  // whatever this view registered with the host go now.
  if (ownsWindow)
    if (IGraphicsPlatform* editor = EditorOf(plug))
      CloseWindow(*editor);
  plug->RemoveView(this);
  plug->release();
}

tresult PLUGIN_API IPlugVST3View::queryInterface(const TUID iid, void** obj)
{
  if (queryInterfaceAs<IPlugViewContentScaleSupport>(this, iid, obj))
    return kResultOk;
  return CPluginView::queryInterface(iid, obj);
}

tresult PLUGIN_API IPlugVST3View::setContentScaleFactor(ScaleFactor factor)
{
  IGraphicsPlatform* editor = EditorOf(plug);
  const float accepted = IGraphics::AcceptedScale(factor);
  if (!editor || accepted == 0.0f)
    return kResultFalse;
  editor->SetScaleFromHost(true);
  IPlugFrame* frame = getFrame();
  if (!ownsWindow || !frame)
  {
    pendingScale = 0.0f;
    editor->SetScale(accepted);
    return kResultTrue;
  }
  if (accepted == (pendingScale != 0.0f ? pendingScale : editor->Scale()))
    return kResultTrue;
  pendingScale = accepted;
  ViewRect wanted = ScaledRect(*editor, accepted);
  // The host answers with onSize, at once or later; a refusal keeps the
  // factor the window has.
  if (frame->resizeView(this, &wanted) != kResultTrue)
  {
    pendingScale = 0.0f;
    return kResultFalse;
  }
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type)
{
  const IGraphicsPlatform* editor = EditorOf(plug);
  return editor && IsEditorsType(*editor, type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type)
{
  IGraphicsPlatform* editor = EditorOf(plug);
  if (!editor || !IsEditorsType(*editor, type))
    return kResultFalse;
  // One editor window: a view that had it lets go, this one opens it anew.
  if (ownsWindow)
    CloseWindow(*editor);
  for (int i = 0; i < plug->NViews(); ++i)
    if (IPlugVST3View* other = plug->GetView(i); other != this)
      other->LetGoOfWindow();
  if (!OpenWindow(*editor, parent))
    return kResultFalse;
  ownsWindow = true;
  // A host that does not tell the scale gets the system's for the window.
  if (!editor->ScaleFromHost())
  {
    const float system = IGraphics::AcceptedScale(editor->SystemScale());
    if (system != 0.0f && system != editor->Scale())
    {
      if (IPlugFrame* frame = getFrame())
      {
        pendingScale = system;
        ViewRect wanted = ScaledRect(*editor, system);
        if (frame->resizeView(this, &wanted) != kResultTrue)
          pendingScale = 0.0f;
      }
    }
  }
  plug->EditorOpened();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::removed()
{
  if (IGraphicsPlatform* editor = EditorOf(plug))
  {
    plug->EditorClosing();
    // The window is closed unless another view has taken it since.
    bool otherOwner = false;
    for (int i = 0; i < plug->NViews(); ++i)
      if (IPlugVST3View* other = plug->GetView(i); other != this && other->ownsWindow)
        otherOwner = true;
    if (ownsWindow || !otherOwner)
      CloseWindow(*editor);
    // A factor still waiting for the host's onSize is the one to open at.
    if (pendingScale != 0.0f)
      editor->SetScale(pendingScale);
  }
  pendingScale = 0.0f;
  return CPluginView::removed();
}

tresult PLUGIN_API IPlugVST3View::onWheel(float)
{
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::onKeyDown(char16, int16, int16)
{
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::onKeyUp(char16, int16, int16)
{
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size)
{
  IGraphicsPlatform* editor = EditorOf(plug);
  if (!editor || !size)
    return kResultFalse;
  *size = ScaledRect(*editor, pendingScale != 0.0f ? pendingScale : editor->Scale());
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize)
{
  if (!newSize)
    return kResultOk;
  setRect(*newSize);
  if (pendingScale != 0.0f)
    if (IGraphicsPlatform* editor = EditorOf(plug))
    {
      const ViewRect wanted = ScaledRect(*editor, pendingScale);
      if (newSize->getWidth() == wanted.getWidth() && newSize->getHeight() == wanted.getHeight())
      {
        editor->SetScale(pendingScale);
        pendingScale = 0.0f;
      }
    }
  if (resizePending)
  {
    plug->EditorResized(newSize->left, newSize->top, newSize->right, newSize->bottom);
    resizePending = false;
  }
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onFocus(TBool)
{
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::setFrame(IPlugFrame* frame)
{
  CPluginView::setFrame(frame);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::canResize()
{
  return kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::checkSizeConstraint(ViewRect*)
{
  return kResultFalse;
}
