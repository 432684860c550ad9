#include "graphics/IGraphics.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "controls/IBitmapControl.h"
#include "controls/IControl.h"
#include "controls/PromptPopup.h"
#include "graphics/FontCache.h"
#include "graphics/ImageCache.h"
#include "plug/IParamDef.h"
#include "plug/IPlugBase.h"
#include "plug/RoundToInt.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Compose.h"
#include "raster/LICE_GlyphSource.h"
#include "raster/LICE_Lines.h"
#include "raster/LICE_Resample.h"

namespace
{
// Corner angles of rounded rectangles, as the single-precision values the
// arc plotter expects (0 points up, angles grow clockwise).
constexpr float kLeftAngle = -1.5707964f;
constexpr float kRightAngle = 1.5707964f;
constexpr float kDownAngle = 3.1415927f;
constexpr float kLeftAgainAngle = 4.712389f;

LICE_ComposeMode ComposeWord(const IBlend* blend)
{
  switch (blend ? blend->mode : BlendNormal)
  {
    case BlendOpaque: return ComposeCopy;
    case BlendAdd: return ComposeAdd | ComposeSourceAlpha;
    case BlendDodge: return ComposeDodge | ComposeSourceAlpha;
    default: return ComposeCopy | ComposeSourceAlpha;
  }
}

float Weight(const IBlend* blend) { return blend ? blend->weight : 1.0f; }

// Pointer positions come from the platform unchecked; a difference of two of
// them must not overflow.
int ClampedDelta(int to, int from)
{
  const long long d = static_cast<long long>(to) - from;
  return static_cast<int>(std::clamp<long long>(d, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}
}  // namespace

IGraphics::IGraphics(IPlugBase* plugIn, int w, int h, int rate)
  : plug(plugIn), width(w), height(h), frameRate(rate > 0 ? rate : 24)
{
  nMirrored = plug ? std::max(plug->NParams(), 0) : 0;
  mirrored = std::make_unique<MirroredValue[]>(static_cast<std::size_t>(nMirrored));
}

IGraphics::~IGraphics()
{
  DestroyControls();
}

void IGraphics::DestroyControls()
{
  while (!controls.empty())
  {
    delete controls.back();
    controls.pop_back();
  }
  openPopup = nullptr;
  closedPopup.reset();
  hoverIndex = -1;
}

void IGraphics::ResizeEditor(int w, int h)
{
  width = w;
  height = h;
  captureIndex = -1;
  releaseIndex = -1;
  lastX = lastY = -1;
  DestroyControls();
  // The host sizes its window in screen pixels: the scaled size.
  if (plug) plug->SetEditorSize(ScaledWidth(), ScaledHeight());
}

// ---- Control list. ----

int IGraphics::AddControl(IControl* control)
{
  controls.push_back(control);
  return NControls() - 1;
}

void IGraphics::AddBackdrop(int number, const char* fileName)
{
  const IImage image = FetchImage(number, fileName, 1);
  // Without its picture the backdrop still spans the editor, so that
  // RefreshAll keeps repainting everything.
  const IBounds area = image.bitmap ? IBounds(0, 0, image.width, image.height) : IBounds(0, 0, width, height);
  auto* backdrop = new IBitmapControl(plug, area, -1, image, IBlend(BlendOpaque, 1.0f), true);
  controls.insert(controls.begin(), backdrop);
}

void IGraphics::RemoveControl(IControl* control)
{
  auto it = std::find(controls.begin(), controls.end(), control);
  if (it != controls.end()) controls.erase(it);
}

IControl* IGraphics::GetControl(int index) const
{
  return index >= 0 && index < NControls() ? controls[index] : nullptr;
}

// ---- Images. ----

IImage IGraphics::FetchImage(int number, const char* fileName, int frames)
{
  ImageCache& cache = ImageCache::Shared();
  LICE_IBitmap* bitmap = cache.Find(number);
  if (!bitmap)
  {
    bitmap = LoadImageResource(number, fileName);
    cache.Add(number, bitmap);
  }
  IImage image;
  image.bitmap = bitmap;
  image.width = bitmap ? bitmap->Width() : 0;
  image.height = bitmap ? bitmap->Height() : 0;
  image.frames = frames < 1 ? 1 : frames;
  return image;
}

IImage IGraphics::SplitImage(IImage& image, float fraction)
{
  if (!image.bitmap) return IImage();
  if (!(fraction >= 0.0f)) fraction = 0.0f;  // NaN included
  if (fraction > 1.0f) fraction = 1.0f;
  const int leftWidth = static_cast<int>(static_cast<float>(image.width) * fraction);
  const int rightWidth = static_cast<int>(static_cast<float>(image.width) * (1.0f - fraction));
  const int h = image.height;

  // Each instance's editor splits the same cached images: the halves made
  // for the first are shared, so the process-wide cache does not grow with
  // every instance.
  ImageCache& cache = ImageCache::Shared();
  ImageCache::Split split;
  if (!cache.FindSplit(image.bitmap, leftWidth, split))
  {
    split.source = image.bitmap;
    split.leftWidth = leftWidth;
    auto* left = new LICE_MemBitmap(leftWidth, h, 4);
    LICE_CopyBlock(left, image.bitmap, 0, 0, 0, 0, leftWidth, h, 1.0f, ComposeCopy);
    split.id = cache.NextSplitId();
    split.left = left;
    cache.Add(split.id, left);

    auto* right = new LICE_MemBitmap(rightWidth, h, 4);
    LICE_CopyBlock(right, image.bitmap, 0, 0, leftWidth, 0, rightWidth, h, 1.0f, ComposeCopy);
    // The right half has no id of its own; the cache still owns it, so that
    // it lives exactly as long as the other images.
    split.right = right;
    cache.Adopt(right);
    cache.RecordSplit(split);
  }
  nextImageId = split.id;

  image.bitmap = split.right;
  image.width = rightWidth;
  image.frames = 1;
  image.cacheId = split.id;

  IImage result;
  result.bitmap = split.left;
  result.width = leftWidth;
  result.height = h;
  return result;
}

IImage IGraphics::ImageById(int id) const
{
  IImage image;
  image.bitmap = ImageCache::Shared().Find(id);
  image.width = image.bitmap ? image.bitmap->Width() : 0;
  image.height = image.bitmap ? image.bitmap->Height() : 0;
  return image;
}

// ---- Parameters and redraw. ----

void IGraphics::MirrorParameter(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    IParamDef* param = plug ? plug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  if (!OnEditorThread())
  {
    // Another thread never touches the controls: the value waits for the
    // editor's thread. Storing it allocates nothing and takes no lock.
    if (paramIdx < 0 || paramIdx >= nMirrored) return;
    MirroredValue& slot = mirrored[static_cast<std::size_t>(paramIdx)];
    slot.normalized.store(value, std::memory_order_relaxed);
    slot.waiting.store(true, std::memory_order_release);
    anyMirrored.store(true, std::memory_order_release);
    return;
  }
  // Values another thread left earlier go first, so this newer one stays.
  TakeMirroredValues();
  for (IControl* c : controls)
    if (c->ParamIdx() == paramIdx) c->ValueFromHost(value);
}

void IGraphics::TakeMirroredValues()
{
  if (!anyMirrored.exchange(false, std::memory_order_acq_rel)) return;
  for (int i = 0; i < nMirrored; ++i)
  {
    MirroredValue& slot = mirrored[static_cast<std::size_t>(i)];
    if (!slot.waiting.exchange(false, std::memory_order_acquire)) continue;
    const double value = slot.normalized.load(std::memory_order_relaxed);
    for (IControl* c : controls)
      if (c->ParamIdx() == i) c->ValueFromHost(value);
  }
}

void IGraphics::SetControlsHidden(int paramIdx, bool hide)
{
  for (IControl* c : controls)
    if (c->ParamIdx() == paramIdx) c->SetHidden(hide);
}

void IGraphics::RefreshAll()
{
  if (!controls.empty()) controls[0]->MarkChanged(false);
}

bool IGraphics::CollectChanges(IBounds& region) const
{
  region = IBounds();
  bool any = false;
  for (const IControl* c : controls)
  {
    if (!c->NeedsDrawing()) continue;
    region = region.Union(c->Bounds());
    any = true;
  }
  return any;
}

bool IGraphics::PaintPass(const IBounds& region)
{
  if (controls.empty()) return true;
  paintedRegion = region;
  // Render may close nothing and add nothing, but index access keeps the pass
  // safe should a control change the list.
  for (size_t i = 0; i < controls.size(); ++i)
  {
    IControl* c = controls[i];
    if (!c->IsHidden() && !region.Empty() && !c->Bounds().Empty() && c->Bounds().Meets(region))
      c->Render(*this);
    c->MarkDrawn();
  }
  return ShowRegion(region);
}

void IGraphics::CreateCanvas()
{
  canvas.reset(new LICE_SysBitmap(ScaledWidth(), ScaledHeight()));
}

// ---- Content scale. ----

float IGraphics::AcceptedScale(float factor)
{
  if (!std::isfinite(factor) || !(factor > 0.0f)) return 0.0f;
  return std::clamp(factor, kMinScale, kMaxScale);
}

void IGraphics::SetScale(float factor)
{
  const float accepted = AcceptedScale(factor);
  if (accepted == 0.0f || accepted == scale) return;
  scale = accepted;
  scaledPictures.clear();
  if (canvas) canvas->SetSize(ScaledWidth(), ScaledHeight());
  RefreshAll();
}

int IGraphics::ScaledWidth() const
{
  return scale == 1.0f ? width : RoundToInt(double(width) * scale);
}

int IGraphics::ScaledHeight() const
{
  return scale == 1.0f ? height : RoundToInt(double(height) * scale);
}

int IGraphics::ToDevice(int v) const
{
  return scale == 1.0f ? v : static_cast<int>(std::floor(double(v) * scale + 0.5));
}

IBounds IGraphics::ToDevice(const IBounds& r) const
{
  if (r.Empty()) return r;
  return {ToDevice(r.left), ToDevice(r.top), ToDevice(r.right), ToDevice(r.bottom)};
}

float IGraphics::PointToDevice(float v) const
{
  return scale == 1.0f ? v : (v + 0.5f) * scale - 0.5f;
}

int IGraphics::FromDevice(int v) const
{
  if (scale == 1.0f) return v;
  const double layout = std::floor((double(v) + 0.5) / scale);
  return static_cast<int>(std::clamp(layout, double(std::numeric_limits<int>::min()),
                                     double(std::numeric_limits<int>::max())));
}

IGraphics::Art IGraphics::ArtFor(const LICE_IBitmap* picture)
{
  auto* self = const_cast<LICE_IBitmap*>(picture);
  if (scale <= 1.0f || !picture) return {self, 1};
  // The module carries its pictures at 1x and 2x: 2x serves every factor
  // above 1 (filtered down below 2, interpolated above).
  constexpr int kFactor = 2;
  ImageCache& cache = ImageCache::Shared();
  bool known = false;
  LICE_IBitmap* art = cache.FindVariant(picture, kFactor, known);
  if (!known) art = cache.AddVariant(picture, kFactor, MakeArt(picture, kFactor));
  return art ? Art{art, kFactor} : Art{self, 1};
}

LICE_IBitmap* IGraphics::MakeArt(const LICE_IBitmap* picture, int factor)
{
  ImageCache& cache = ImageCache::Shared();
  if (const int number = cache.NumberOf(picture))
  {
    // Resource N at 1x is resource N + 100 at 2x.
    std::unique_ptr<LICE_IBitmap> art(LoadImageResource(number + 100 * (factor - 1), nullptr));
    if (art && art->Width() == picture->Width() * factor && art->Height() == picture->Height() * factor)
      return art.release();
    return nullptr;
  }
  // A half of a split picture: the same half of the whole picture's artwork.
  ImageCache::Split split;
  if (!cache.SplitHolding(picture, split)) return nullptr;
  const Art whole = ArtFor(split.source);
  if (whole.factor != factor) return nullptr;
  const int w = picture->Width() * factor;
  const int h = picture->Height() * factor;
  const int from = picture == split.left ? 0 : split.leftWidth * factor;
  if (from + w > whole.bitmap->Width() || h > whole.bitmap->Height()) return nullptr;
  auto* half = new LICE_MemBitmap(w, h, 4);
  LICE_CopyBlock(half, whole.bitmap, 0, 0, from, 0, w, h, 1.0f, ComposeCopy);
  return half;
}

IGraphics::Scaled IGraphics::ScaledPicture(const LICE_IBitmap* picture, int x, int y, int w, int h, int outW,
                                           int outH)
{
  const Art art = ArtFor(picture);
  if (w * art.factor == outW && h * art.factor == outH) return {art.bitmap, x * art.factor, y * art.factor};
  for (const ScaledEntry& e : scaledPictures)
    if (e.picture == picture && e.x == x && e.y == y && e.w == w && e.h == h && e.outW == outW && e.outH == outH)
      return {e.bitmap.get(), 0, 0};
  auto made = std::make_unique<LICE_MemBitmap>(0, 0, 4);
  const float k = float(art.factor);
  if (!LICE_ResampleRegion(made.get(), outW, outH, art.bitmap, x * k, y * k, w * k, h * k)) return {};
  scaledPictures.push_back({picture, x, y, w, h, outW, outH, std::move(made)});
  return {scaledPictures.back().bitmap.get(), 0, 0};
}

// ---- Pointer and key dispatch. ----

IParamDef* IGraphics::ParamOf(const IControl* control) const
{
  return control ? control->Param() : nullptr;
}

int IGraphics::ControlAt(int x, int y) const
{
  if (captureIndex >= 0 && captureIndex < NControls()) return captureIndex;
  for (int i = NControls() - 1; i >= 0; --i)
  {
    const IControl* c = controls[i];
    if (c->IsHidden() || c->IsGrayed()) continue;
    if (c->Contains(x, y)) return i;
  }
  return -1;
}

void IGraphics::ForgetPointer()
{
  captureIndex = -1;
  releaseIndex = -1;
  lastX = lastY = -1;
  hoverIndex = -1;
}

void IGraphics::PointerDown(int x, int y, const IPointerMods& mods)
{
  // A gesture starts from the values the host sent last.
  TakeMirroredValues();
  captureIndex = -1;
  releaseIndex = -1;
  lastX = lastY = -1;
  const int i = ControlAt(x, y);
  if (i < 0) return;
  IControl* c = controls[i];
  captureIndex = i;
  lastX = x;
  lastY = y;
  pressClosedPopup = false;
  if (openPopup && c != openPopup && c->Owner() != openPopup)
  {
    // The popup is the last control, so closing it moves no other index.
    ClosePopup(false);
    pressClosedPopup = true;
  }
  if (ParamOf(c)) plug->HostBeginEdit(c->ParamIdx());
  c->PressAt(x, y, mods);
  pressClosedPopup = false;
  ReapClosedPopup();
}

void IGraphics::PointerUp(int x, int y, const IPointerMods& mods)
{
  // The release goes to the control whose press or double click began the
  // gesture, even outside its bounds; a release that began none (a press on
  // empty space, or one a popup choice consumed) ends no host edit.
  const int i = captureIndex >= 0 ? captureIndex : releaseIndex;
  captureIndex = -1;
  releaseIndex = -1;
  lastX = lastY = -1;
  if (i < 0 || i >= NControls()) return;
  IControl* c = controls[i];
  c->ReleaseAt(x, y, mods);
  if (ParamOf(c)) plug->HostEndEdit(c->ParamIdx());
  ReapClosedPopup();
}

void IGraphics::PointerDrag(int x, int y, const IPointerMods& mods)
{
  if (captureIndex < 0 || captureIndex >= NControls()) return;
  const int dx = ClampedDelta(x, lastX);
  const int dy = ClampedDelta(y, lastY);
  if (dx == 0 && dy == 0) return;
  lastX = x;
  lastY = y;
  controls[captureIndex]->DragBy(x, y, dx, dy, mods);
}

bool IGraphics::PointerHover(int x, int y, const IPointerMods& mods)
{
  if (!hoverEnabled) return false;
  const int i = ControlAt(x, y);
  if (i < 0) return true;
  lastX = x;
  lastY = y;
  IControl* c = controls[i];
  c->PointerEnter(x, y, mods);
  // The plug-in hears of the hover by a pass through its lock: a hover never
  // overlaps a parameter change in progress on another thread.
  if (ParamOf(c)) IPlugLockGuard pass(plug->GetLock());
  if (hoverIndex >= 0 && hoverIndex != i && hoverIndex < NControls()) controls[hoverIndex]->PointerExit();
  hoverIndex = i;
  return true;
}

void IGraphics::PointerLeave()
{
  for (IControl* c : controls) c->PointerExit();
  hoverIndex = -1;
}

bool IGraphics::PointerDoubleClick(int x, int y, const IPointerMods& mods)
{
  captureIndex = -1;
  lastX = lastY = -1;
  const int i = ControlAt(x, y);
  releaseIndex = i;
  if (i < 0) return false;
  IControl* c = controls[i];
  if (ParamOf(c)) plug->HostBeginEdit(c->ParamIdx());
  c->DoubleClickAt(x, y, mods);
  return false;
}

void IGraphics::PointerWheel(int x, int y, const IPointerMods& mods, int steps)
{
  const int i = ControlAt(x, y);
  if (i < 0) return;
  IControl* c = controls[i];
  const bool hasParam = ParamOf(c) != nullptr;
  // A wheel gesture is one host edit: it begins with the first step and ends
  // once the steps have paused (the deferred end below); later steps on the
  // same parameter join the open edit.
  if (hasParam && plug->GetPendingEndEdit() != c->ParamIdx()) plug->HostBeginEdit(c->ParamIdx());
  c->WheelAt(x, y, mods, steps);
  if (hasParam) plug->DeferHostEndEdit(c->ParamIdx());
}

void IGraphics::KeyPressed(int x, int y, int key)
{
  const int i = ControlAt(x, y);
  if (i >= 0) controls[i]->KeyAt(x, y, key);
}

void IGraphics::ApplyTypedValue(IControl* control, IParamDef* param, const char* text)
{
  if (!param || !control) return;
  const char* t = text ? text : "";
  double v = 0.0;
  if (!(param->NDisplayTexts() > 0 && param->ValueForDisplayText(t, &v)))
  {
    char* end = nullptr;
    v = std::strtod(t, &end);
    if (end == t || !(v == v)) v = 0.0;
  }
  const bool hasParam = ParamOf(control) != nullptr;
  if (hasParam) plug->HostBeginEdit(control->ParamIdx());
  control->ValueFromUser(param->ToNormalized(v));
  if (hasParam) plug->HostEndEdit(control->ParamIdx());
}

// ---- Value popup. ----

void IGraphics::OpenPopup(IControl* owner)
{
  IParamDef* param = ParamOf(owner);
  if (!param || openPopup) return;
  const IBounds& ob = owner->Bounds();
  auto* popup = new PromptPopup(plug, ob.left, ob.top, 70, 1, &popupStyle, &popupFill, &popupHighlight);
  AddControl(popup);
  openPopup = popup;
  popup->SetHidden(true);
  for (int k = 0; k < param->NDisplayTexts(); ++k) popup->AddItem(param->GetDisplayTextAtIdx(k));

  const IBounds& pb = popup->Bounds();
  int dx = static_cast<int>((ob.W() - pb.W()) * 0.5);
  int dy = static_cast<int>((ob.H() - pb.H()) * 0.5);
  // Keep the popup 6 pixels inside the editor on every side.
  if (pb.left + dx > 5)
  {
    if (pb.left + dx + pb.W() > width - 6) dx = width - pb.left - pb.W() - 6;
  }
  else
    dx = 6 - pb.left;
  if (pb.top + dy > 5)
  {
    if (pb.top + dy + pb.H() > height - 6) dy = height - pb.top - pb.H() - 6;
  }
  else
    dy = 6 - pb.top;
  popup->MoveBy(dx, dy);
  popup->AttachTo(owner->ParamIdx(), owner);
}

void IGraphics::ClosePopup(bool chosen)
{
  if (!openPopup) return;
  PromptPopup* popup = openPopup;
  if (!chosen && popup->Owner()) popup->Owner()->PopupChoice("", -1);
  const int index = static_cast<int>(std::find(controls.begin(), controls.end(), popup) - controls.begin());
  RemoveControl(popup);
  if (hoverIndex == index) hoverIndex = -1;
  if (captureIndex == index) captureIndex = -1;
  if (releaseIndex == index) releaseIndex = -1;
  openPopup = nullptr;
  // The popup may be closing itself from its own press handler; it is
  // destroyed once the dispatch that closed it returns.
  closedPopup.reset(popup);
  RefreshAll();
}

void IGraphics::ReapClosedPopup()
{
  closedPopup.reset();
}

// ---- Drawing. ----

bool IGraphics::BlitImage(const IImage& image, const IBounds& dest, int frame, const IBlend* blend,
                          bool framesVertical)
{
  int srcX = 0;
  int srcY = 0;
  if (image.frames >= 2 && frame >= 2)
  {
    if (framesVertical)
      srcY = static_cast<int>(double(image.height) * (frame - 1) / image.frames + 0.5);
    else
      srcX = static_cast<int>(double(image.width) * (frame - 1) / image.frames + 0.5);
  }
  return BlitImageAt(image, dest, srcX, srcY, blend);
}

bool IGraphics::BlitImageAt(const IImage& image, const IBounds& dest, int srcX, int srcY,
                            const IBlend* blend)
{
  if (!image.bitmap || !canvas) return false;
  if (scale == 1.0f)
  {
    const IBounds clipped = dest.Intersect(paintedRegion);
    if (clipped.Empty()) return true;
    LICE_CopyBlock(canvas.get(), image.bitmap, clipped.left, clipped.top, srcX + clipped.left - dest.left,
                   srcY + clipped.top - dest.top, clipped.W(), clipped.H(), Weight(blend), ComposeWord(blend));
    return true;
  }
  // The part of the picture the rectangle shows (as the unscaled copy clips
  // to the picture), drawn to that part's canvas rectangle.
  const int w = std::min(dest.W(), image.bitmap->Width() - srcX);
  const int h = std::min(dest.H(), image.bitmap->Height() - srcY);
  if (srcX < 0 || srcY < 0 || w <= 0 || h <= 0) return true;
  const IBounds d = ToDevice(IBounds(dest.left, dest.top, dest.left + w, dest.top + h));
  const IBounds clipped = d.Intersect(ToDevice(paintedRegion));
  if (clipped.Empty() || d.W() <= 0 || d.H() <= 0) return true;
  const Scaled pic = ScaledPicture(image.bitmap, srcX, srcY, w, h, d.W(), d.H());
  if (!pic.bitmap) return false;
  LICE_CopyBlock(canvas.get(), pic.bitmap, clipped.left, clipped.top, pic.x + clipped.left - d.left,
                 pic.y + clipped.top - d.top, clipped.W(), clipped.H(), Weight(blend), ComposeWord(blend));
  return true;
}

bool IGraphics::BlitRotated(const IImage& image, int cx, int cy, double angle, const IBlend* blend,
                            float srcX, float srcY)
{
  if (!image.bitmap || !canvas) return false;
  const int w = image.width;
  const int h = image.height;
  if (scale == 1.0f)
  {
    LICE_RotateRegion(canvas.get(), image.bitmap, cx - w / 2, cy - h / 2, w, h, srcX, srcY, float(w), float(h),
                      static_cast<float>(angle), false, Weight(blend), ComposeWord(blend) | ComposeBilinear, 0.0f,
                      0.0f);
    return true;
  }
  // Rotated and scaled in one step from the artwork, about the scaled centre.
  const Art art = ArtFor(image.bitmap);
  const float k = float(art.factor);
  const int dw = RoundToInt(w * scale);
  const int dh = RoundToInt(h * scale);
  const int dcx = ToDevice(cx);
  const int dcy = ToDevice(cy);
  LICE_RotateRegion(canvas.get(), art.bitmap, dcx - dw / 2, dcy - dh / 2, dw, dh, srcX * k, srcY * k, w * k, h * k,
                    static_cast<float>(angle), false, Weight(blend), ComposeWord(blend) | ComposeBilinear, 0.0f,
                    0.0f);
  return true;
}

bool IGraphics::StrokeLine(const IArgb& colour, float x1, float y1, float x2, float y2, const IBlend* blend,
                           bool antialias)
{
  if (scale == 1.0f)
  {
    LICE_PlotSmoothLine(canvas.get(), x1, y1, x2, y2, colour.Word(), colour.a / 255.0f, ComposeWord(blend),
                        antialias);
    return true;
  }
  // A line one layout pixel wide is round(scale) canvas pixels wide: parallel
  // lines side by side across its direction.
  const float ax = PointToDevice(x1), ay = PointToDevice(y1), bx = PointToDevice(x2), by = PointToDevice(y2);
  const float len = std::hypot(bx - ax, by - ay);
  const float nx = len > 0.0f ? -(by - ay) / len : 0.0f;
  const float ny = len > 0.0f ? (bx - ax) / len : 0.0f;
  const int n = std::max(1, RoundToInt(scale));
  for (int k = 0; k < n; ++k)
  {
    const float o = k - (n - 1) * 0.5f;
    LICE_PlotSmoothLine(canvas.get(), ax + nx * o, ay + ny * o, bx + nx * o, by + ny * o, colour.Word(),
                        colour.a / 255.0f, ComposeWord(blend), antialias);
  }
  return true;
}

bool IGraphics::StrokeArc(const IArgb& colour, float cx, float cy, double radius, float start, float end,
                          const IBlend* blend, bool antialias)
{
  if (scale == 1.0f)
  {
    LICE_PlotArc(canvas.get(), cx, cy, static_cast<float>(radius), start, end, colour.Word(), colour.a / 255.0f,
                 ComposeWord(blend), antialias);
    return true;
  }
  // Widened like a line: round(scale) arcs one canvas pixel apart.
  const int n = std::max(1, RoundToInt(scale));
  const float r = static_cast<float>(radius) * scale;
  for (int k = 0; k < n; ++k)
    LICE_PlotArc(canvas.get(), PointToDevice(cx), PointToDevice(cy), r + (k - (n - 1) * 0.5f), start, end,
                 colour.Word(), colour.a / 255.0f, ComposeWord(blend), antialias);
  return true;
}

void IGraphics::StrokeArcBand(const IArgb& colour, float cx, float cy, float inner, float outer, float start,
                              float end, const IBlend* blend)
{
  if (scale == 1.0f)
  {
    for (float r = inner; r < outer; r += 0.3f) StrokeArc(colour, cx, cy, r, start, end, blend, true);
    return;
  }
  // The same band at the scaled radii, filled as densely in canvas pixels.
  const float dcx = PointToDevice(cx), dcy = PointToDevice(cy);
  const float to = outer * scale;
  for (float r = inner * scale; r < to; r += 0.3f)
    LICE_PlotArc(canvas.get(), dcx, dcy, r, start, end, colour.Word(), colour.a / 255.0f, ComposeWord(blend), true);
}

bool IGraphics::StrokeRoundedRect(const IArgb& colour, IBounds& rect, int r, const IBlend* blend,
                                  bool antialias)
{
  const IBounds outline = ToDevice(rect);
  rect.right -= 1;
  rect.bottom -= 1;
  LICE_IBitmap* dst = canvas.get();
  const LICE_PixelWord c = colour.Word();
  const float a = colour.a / 255.0f;
  const LICE_ComposeMode m = ComposeWord(blend);
  // Above 1 the outline is round(scale) canvas pixels wide: nested outlines
  // of the scaled rectangle, each one pixel further in.
  const int n = scale == 1.0f ? 1 : std::max(1, RoundToInt(scale));
  const int radius = scale == 1.0f ? r : RoundToInt(r * scale);
  for (int k = 0; k < n; ++k)
  {
    const int rr = std::max(0, radius - k);
    const int l = outline.left + k, t = outline.top + k, rt = outline.right - 1 - k, b = outline.bottom - 1 - k;
    LICE_PlotLine(dst, l + rr + 1, t, rt - rr - 1, t, c, a, m, antialias);
    LICE_PlotLine(dst, rt, t + rr + 1, rt, b - rr - 1, c, a, m, antialias);
    LICE_PlotLine(dst, l + rr + 1, b, rt - rr - 1, b, c, a, m, antialias);
    LICE_PlotLine(dst, l, t + rr + 1, l, b - rr - 1, c, a, m, antialias);
    LICE_PlotArc(dst, float(l + rr), float(t + rr), float(rr), kLeftAngle, 0.0f, c, a, m, antialias);
    LICE_PlotArc(dst, float(rt - rr), float(t + rr), float(rr), 0.0f, kRightAngle, c, a, m, antialias);
    LICE_PlotArc(dst, float(rt - rr), float(b - rr), float(rr), kRightAngle, kDownAngle, c, a, m, antialias);
    LICE_PlotArc(dst, float(l + rr), float(b - rr), float(rr), kDownAngle, kLeftAgainAngle, c, a, m, antialias);
  }
  return true;
}

bool IGraphics::FillRoundedRect(const IArgb& colour, const IBounds& layoutRect, int radius, int corners,
                                const IBlend* blend, bool antialias)
{
  if (corners != 4 && corners != 2 && corners != -2) return true;
  const IBounds rect = ToDevice(layoutRect);
  const int r = scale == 1.0f ? radius : RoundToInt(radius * scale);
  LICE_IBitmap* dst = canvas.get();
  const LICE_PixelWord c = colour.Word();
  const float rectAlpha = Weight(blend);
  const float wedgeAlpha = colour.a / 255.0f;
  const LICE_ComposeMode m = ComposeWord(blend);
  const int l = rect.left, t = rect.top, rt = rect.right, b = rect.bottom;
  const int w = rect.W(), h = rect.H();
  const bool top = corners != -2;
  const bool bottom = corners != 2;

  if (corners == 4)
    LICE_FillArea(dst, l, t + r + 1, w, h - 2 * r - 2, c, rectAlpha, m);
  else if (corners == 2)
    LICE_FillArea(dst, l, t + r + 1, w, h - r - 1, c, rectAlpha, m);
  else
    LICE_FillArea(dst, l, t, w, h - r - 1, c, rectAlpha, m);
  if (top)
  {
    LICE_FillArea(dst, l + r + 1, t, w - 2 * r - 2, r + 1, c, rectAlpha, m);
    LICE_FillWedge(dst, float(l + r), float(t + r), float(r), kLeftAngle, 0.0f, c, wedgeAlpha, m, antialias);
    LICE_FillWedge(dst, float(rt - r - 1), float(t + r), float(r), 0.0f, kRightAngle, c, wedgeAlpha, m,
                   antialias);
  }
  if (bottom)
  {
    LICE_FillArea(dst, l + r + 1, b - r - 1, w - 2 * r - 2, r + 1, c, rectAlpha, m);
    LICE_FillWedge(dst, float(rt - r - 1), float(b - r - 1), float(r), kRightAngle, kDownAngle, c, wedgeAlpha,
                   m, antialias);
    LICE_FillWedge(dst, float(l + r), float(b - r - 1), float(r), kDownAngle, kLeftAgainAngle, c, wedgeAlpha, m,
                   antialias);
  }
  return true;
}

bool IGraphics::FillBox(const IArgb& colour, const IBounds& rect, const IBlend* blend)
{
  const IBounds d = ToDevice(rect);
  LICE_FillArea(canvas.get(), d.left, d.top, d.W(), d.H(), colour.Word(), Weight(blend), ComposeWord(blend));
  return true;
}

bool IGraphics::PaintText(ITextStyle& style, const char* text, const IBounds& rect)
{
  if (!text || !*text) return true;
  LICE_CachedFont* font = style.font && scale == 1.0f ? style.font : ObtainFont(style);
  if (!font) return false;
  font->SetInk(style.colour.Word());
  int flags = LICE_DT_NOCLIP;
  if (style.colour.a != 255) flags |= TextUseInkAlpha;
  if (style.alignment == AlignCentre)
    flags |= LICE_DT_CENTER;
  else if (style.alignment != AlignLeft)
    flags |= LICE_DT_RIGHT;
  const IBounds d = ToDevice(rect);
  LICE_Rect r{d.left, d.top, d.right, d.bottom};
  font->RenderText(canvas.get(), text, -1, &r, flags);
  return true;
}

LICE_CachedFont* IGraphics::ObtainFont(ITextStyle& style)
{
  if (scale != 1.0f) return FontAtSize(style, RoundToInt(style.size * scale));
  LICE_CachedFont* font = FontAtSize(style, style.size);
  if (font) style.font = font;
  return font;
}

LICE_CachedFont* IGraphics::FontAtSize(const ITextStyle& style, int size)
{
  FontCache& cache = FontCache::Shared();
  LICE_CachedFont* font = cache.Find(size, style.orientation, style.style, style.face);
  if (!font)
  {
    const int q = style.quality;
    const int quality = q == 0 || q == 2 || q == 3 ? q : 1;
    LICE_FontHandle handle = LICE_GlyphSource::MakeSystemFont(style.face, size, style.orientation * 10,
                                                              (style.style & 1) != 0, (style.style & 2) != 0,
                                                              quality);
    if (!handle) return nullptr;
    font = new LICE_CachedFont;
    font->AdoptSystemFont(handle, FontOwnsHandle | FontPreferSystem);
    cache.Add(size, style.orientation, style.style, style.face, font);
  }
  return font;
}
