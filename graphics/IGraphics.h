#pragma once
//! The platform-independent half of the editor: the ordered control list
//! (index 0 is the background), the off-screen canvas, change collection and
//! painting, pointer and key dispatch with host-edit wrapping, the drawing
//! operations the controls use, typed values and the value popup.
//!
//! Everything here runs on the editor's user-interface thread, except
//! MirrorParameter, which the plug-in base may call with its lock held from
//! another thread: it then only stores the value for the editor's thread.

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "graphics/IGraphicsTypes.h"
#include "plug/IEditor.h"

class IControl;
class IParamDef;
class IPlugBase;
class PromptPopup;
class LICE_SysBitmap;
class LICE_CachedFont;

class IGraphics : public IEditor
{
public:
  //! frameRate 0 or less selects the default of 24 frames per second.
  IGraphics(IPlugBase* plug, int width, int height, int frameRate = 0);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Operations the platform editor fills in (slot order kept). ----

  //! Copies a canvas region to the screen.
  virtual bool ShowRegion(const IBounds& region) = 0;
  //! Forgets capture, destroys every control and asks the plug-in to resize
  //! its view.
  virtual void ResizeEditor(int width, int height);
  virtual bool IsOpen() { return NativeWindow() != nullptr; }
  virtual void AskText(IControl* textControl) = 0;
  //! Opens the typed-entry box for a parameter (right click on a control).
  virtual void AskValue(IControl* control, IParamDef* param, bool centred) = 0;
  virtual void HostFolder(char* out) = 0;
  virtual void ModuleFolder(char* out) = 0;
  virtual void AskFile(char* path, int action, const char* folder, const char* extensions) = 0;
  virtual bool AskColour(IArgb* colour, const char* prompt) = 0;
  virtual bool OpenLink(const char* address, const char* caption, const char* confirm,
                        const char* failure) = 0;
  virtual bool WheelFromHost(int steps) { (void)steps; return false; }
  //! Called by the plug-in base (under its lock) when a wheel gesture's end of
  //! edit is deferred; the countdown runs on the editor's timer.
  void StartEditEndTimer(int ticks) override = 0;
  void StopEditEndTimer() override = 0;
  virtual bool SpareQuery() { return false; }
  virtual void* OpenIn(void* parentWindow) = 0;
  virtual void CloseNative() = 0;
  virtual void* NativeWindow() = 0;
  //! Destroys the controls, last to first, then the canvas.
  ~IGraphics() override;
  virtual void HideTipUnlessEnabled() = 0;
  //! Decodes the module's image resource of that number; null on failure.
  virtual LICE_IBitmap* LoadImageResource(int number, const char* fileName) = 0;

  // ---- Control list. ----

  int AddControl(IControl* control);
  //! The background picture, inserted at index 0.
  void AddBackdrop(int number, const char* fileName);
  //! Removes the first entry equal to control, keeping order; not destroyed.
  void RemoveControl(IControl* control);
  int NControls() const { return static_cast<int>(controls.size()); }
  IControl* GetControl(int index) const;

  // ---- Images. ----

  IImage FetchImage(int number, const char* fileName, int frames = 1);
  //! Splits at trunc(width * fraction): the left part goes to the image cache
  //! under a new negative id; image becomes the right part, carrying that id;
  //! the result is the left part.
  IImage SplitImage(IImage& image, float fraction);
  IImage ImageById(int id) const;

  // ---- Parameters and redraw. ----

  //! Pushes a parameter value to every control bound to it. On the editor's
  //! own thread at once; from any other (the audio thread, under the plug-in
  //! lock) the value waits, normalized, in a slot of its own that the
  //! editor's thread takes on its next tick or press, so the controls are
  //! only ever touched by that thread.
  void MirrorParameter(int paramIdx, double value, bool normalized) override;
  //! The editor's thread: gives the controls the values mirrored from other
  //! threads since the last call.
  void TakeMirroredValues();
  //! Whether the caller runs on the thread that made the editor (the host's
  //! user-interface thread).
  bool OnEditorThread() const { return std::this_thread::get_id() == editorThread; }
  void SetControlsHidden(int paramIdx, bool hide);
  void RefreshAll();
  //! Union of the bounds of every control that needs drawing.
  bool CollectChanges(IBounds& region) const;
  bool PaintPass(const IBounds& region);
  //! A canvas of the scaled size (ScaledWidth x ScaledHeight).
  void CreateCanvas() override;
  LICE_SysBitmap* Canvas() const { return canvas.get(); }

  // ---- Content scale. ----
  //
  // Controls, bounds, pointer positions and the painted region stay in
  // layout pixels (the editor's width x height); the canvas holds the editor
  // drawn `scale` times as large. At 1 every drawing operation is the
  // unscaled one, so the pictures are those of an editor without scaling.
  // Above 1 pictures come from the artwork drawn at the nearest scale at or
  // above the factor (filtered to size), text from the font at the scaled
  // size, and lines and arcs are drawn at scaled positions, radii and widths.

  static constexpr float kMinScale = 1.0f;
  static constexpr float kMaxScale = 4.0f;
  //! The factor a request for `factor` gives: clamped to 1..4; 0 (refused)
  //! for zero, negative or non-finite requests.
  static float AcceptedScale(float factor);
  float Scale() const { return scale; }
  //! Sets an accepted factor (AcceptedScale; a refused one is ignored):
  //! resizes the canvas, drops the pictures made for the old factor and
  //! repaints everything. Virtual so that a window can follow.
  virtual void SetScale(float factor);
  //! round(width x scale), round(height x scale): the canvas and window size.
  int ScaledWidth() const;
  int ScaledHeight() const;
  //! A layout edge (of a rectangle) in canvas pixels: round(v x scale).
  int ToDevice(int v) const;
  IBounds ToDevice(const IBounds& r) const;
  //! A layout pixel position (a line's end, an arc's centre) in canvas
  //! pixels: the centre of layout pixel v lands on the centre of its scaled
  //! area.
  float PointToDevice(float v) const;
  //! The layout pixel holding canvas pixel v (pointer positions).
  int FromDevice(int v) const;

  // ---- Pointer and key dispatch. ----

  int ControlAt(int x, int y) const;
  void PointerDown(int x, int y, const IPointerMods& mods);
  void PointerUp(int x, int y, const IPointerMods& mods);
  void PointerDrag(int x, int y, const IPointerMods& mods);
  bool PointerHover(int x, int y, const IPointerMods& mods);
  void PointerLeave();
  bool PointerDoubleClick(int x, int y, const IPointerMods& mods);
  void PointerWheel(int x, int y, const IPointerMods& mods, int steps);
  void KeyPressed(int x, int y, int key);

  //! Sets a parameter from typed text: a matching display text or the
  //! leading decimal number (0 when none), wrapped in one host edit.
  void ApplyTypedValue(IControl* control, IParamDef* param, const char* text);

  // ---- Value popup. ----

  //! Opens the list of a list parameter's display texts over the control.
  void OpenPopup(IControl* owner);
  //! Closes the open popup; without a choice the owner hears PopupChoice("", -1).
  void ClosePopup(bool chosen);
  PromptPopup* OpenPopupControl() const { return openPopup; }
  //! True while a press that closed a popup is being delivered, so that the
  //! press opens no new popup.
  bool PressClosedPopup() const { return pressClosedPopup; }
  //! The editor forgets the pointer: no capture, no last position, no hover.
  void ForgetPointer();

  // ---- Drawing on the canvas. ----

  bool BlitImage(const IImage& image, const IBounds& dest, int frame, const IBlend* blend = nullptr,
                 bool framesVertical = true);
  bool BlitImageAt(const IImage& image, const IBounds& dest, int srcX, int srcY, const IBlend* blend);
  bool BlitRotated(const IImage& image, int cx, int cy, double angle, const IBlend* blend, float srcX,
                   float srcY);
  bool StrokeLine(const IArgb& colour, float x1, float y1, float x2, float y2, const IBlend* blend,
                  bool antialias);
  bool StrokeArc(const IArgb& colour, float cx, float cy, double radius, float start, float end,
                 const IBlend* blend, bool antialias);
  //! A ring of antialiased arcs 0.3 canvas pixels apart, from radius `inner`
  //! up to (not including) `outer`: the knobs' value arc.
  void StrokeArcBand(const IArgb& colour, float cx, float cy, float inner, float outer, float start, float end,
                     const IBlend* blend);
  //! Right and bottom are first reduced by 1 in the caller's record.
  bool StrokeRoundedRect(const IArgb& colour, IBounds& rect, int radius, const IBlend* blend,
                         bool antialias);
  //! corners: 4 all, 2 top only, -2 bottom only; anything else draws nothing.
  bool FillRoundedRect(const IArgb& colour, const IBounds& rect, int radius, int corners,
                       const IBlend* blend, bool antialias);
  bool FillBox(const IArgb& colour, const IBounds& rect, const IBlend* blend);
  //! False only when no font can be had for the style.
  bool PaintText(ITextStyle& style, const char* text, const IBounds& rect);
  //! The style's font at 1; above 1 the same face at the scaled size (not
  //! stored in the style, which keeps its unscaled font).
  LICE_CachedFont* ObtainFont(ITextStyle& style);

  // ---- State. ----

  IPlugBase* Plug() const { return plug; }
  int Width() const { return width; }
  int Height() const { return height; }
  int GetFrameRate() const override { return frameRate; }
  bool HoverEnabled() const { return hoverEnabled; }
  void EnableHover(bool on) { hoverEnabled = on; }
  int HoverIndex() const { return hoverIndex; }
  int CaptureIndex() const { return captureIndex; }
  const IBounds& PaintedRegion() const { return paintedRegion; }
  bool RepaintOnTimer() const { return repaintOnTimer; }

  const ITextStyle& PopupStyle() const { return popupStyle; }
  const IArgb& PopupFill() const { return popupFill; }
  const IArgb& PopupHighlight() const { return popupHighlight; }

protected:
  //! Artwork of a picture for the current scale: the picture itself at 1,
  //! above it the same picture drawn `factor` times as large when the module
  //! carries one (factor 1 and the picture itself when it does not).
  struct Art
  {
    LICE_IBitmap* bitmap;
    int factor;
  };
  Art ArtFor(const LICE_IBitmap* picture);
  //! Loads or cuts the `factor`-times picture of a cached one; null if none.
  LICE_IBitmap* MakeArt(const LICE_IBitmap* picture, int factor);
  //! Region (x, y, w, h) of a picture, in its own pixels, drawn to outW x
  //! outH canvas pixels: the artwork itself with the region's offset when it
  //! has that size, else a picture filtered to that size, made once per
  //! scale.
  struct Scaled
  {
    LICE_IBitmap* bitmap = nullptr;
    int x = 0;
    int y = 0;
  };
  Scaled ScaledPicture(const LICE_IBitmap* picture, int x, int y, int w, int h, int outW, int outH);
  LICE_CachedFont* FontAtSize(const ITextStyle& style, int size);

  //! The parameter a control is bound to, or null (none, or out of range).
  IParamDef* ParamOf(const IControl* control) const;
  //! Destroys a popup closed while its own handler was running, once that
  //! handler has returned.
  void ReapClosedPopup();
  void DestroyControls();

  ITextStyle popupStyle{"Arial", 15, IArgb(200, 255, 255, 255)};
  IArgb popupFill{245, 50, 50, 50};
  IArgb popupHighlight{75, 200, 200, 200};
  bool hoverEnabled = false;
  int hoverIndex = -1;
  PromptPopup* openPopup = nullptr;
  std::unique_ptr<PromptPopup> closedPopup;
  bool pressClosedPopup = false;
  //! A value mirrored from another thread, waiting for the editor's thread.
  struct MirroredValue
  {
    std::atomic<double> normalized{0.0};
    std::atomic<bool> waiting{false};
  };

  std::vector<IControl*> controls;  // owned
  IPlugBase* plug = nullptr;
  std::thread::id editorThread = std::this_thread::get_id();
  //! One slot per parameter of the plug-in, made with the editor.
  std::unique_ptr<MirroredValue[]> mirrored;
  int nMirrored = 0;
  std::atomic<bool> anyMirrored{false};
  IBounds paintedRegion;
  std::unique_ptr<LICE_SysBitmap> canvas;
  float scale = 1.0f;
  //! Pictures filtered to their canvas size at this scale.
  struct ScaledEntry
  {
    const LICE_IBitmap* picture;
    int x, y, w, h, outW, outH;
    std::unique_ptr<LICE_IBitmap> bitmap;
  };
  std::vector<ScaledEntry> scaledPictures;
  int width = 0;
  int height = 0;
  int frameRate = 24;
  int nextImageId = -1;
  int captureIndex = -1;
  //! Control a double click began an edit on; its release ends the edit.
  int releaseIndex = -1;
  int lastX = 0;
  int lastY = 0;
  bool strictPainting = true;
  bool repaintOnTimer = true;
};
