#pragma once
// A plug-in that records the host edits it would send, and a headless editor
// whose images come from a fixed table instead of the module's resources.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IGraphicsPlatform.h"
#include "plug/IPlugBase.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_Compose.h"

namespace guitest
{

enum Param : int
{
  kReal = 0,    // "Frequency"-like: 1..20000 Hz, shape 2
  kWave = 1,    // list of four
  kVolume = 2,  // integer 0..100 %
  kMany = 3,    // list of twelve
  kToggle = 4,  // list No / Yes
  kNumParams
};

struct HostEdit
{
  char kind;  // 'b' begin, 'p' perform, 'e' end
  int param;
  double value;
  bool operator==(const HostEdit& o) const { return kind == o.kind && param == o.param; }
};

class FakePlug : public IPlugBase
{
public:
  FakePlug()
    : IPlugBase(kNumParams, "1-1 2-2", 1, "Fake", "", "Tester", 0x10000, 0x46616B65, 0x54737472, 0, true,
                false, true, 1)
  {
    GetParam(kReal)->DefineReal("Frequency", 200.0, 1.0, 20000.0, 0.1, "Hz");
    GetParam(kReal)->SetShapeExponent(2.0);
    GetParam(kWave)->DefineList("Wave", 0, 4);
    for (const char* t : {"Sine", "Triangle", "Saw", "Square"})
      GetParam(kWave)->AddDisplayText(GetParam(kWave)->NDisplayTexts(), t);
    GetParam(kVolume)->DefineInt("Volume", 90, 0, 100, "%");
    GetParam(kMany)->DefineList("Many", 0, 12);
    for (int i = 0; i < 12; ++i)
    {
      const std::string t = "Entry " + std::to_string(i + 1);
      GetParam(kMany)->AddDisplayText(i, t.c_str());
    }
    GetParam(kToggle)->DefineList("Toggle", 0, 2);
    GetParam(kToggle)->AddDisplayText(0, "No");
    GetParam(kToggle)->AddDisplayText(1, "Yes");
  }

  void HostBeginEdit(int idx) override { edits.push_back({'b', idx, 0.0}); }
  void HostPerformEdit(int idx, double v) override { edits.push_back({'p', idx, v}); }
  void HostEndEdit(int idx) override { edits.push_back({'e', idx, 0.0}); }
  void HandleParameterChange(int idx) override { changes.push_back(idx); }

  std::string Kinds() const
  {
    std::string s;
    for (const HostEdit& e : edits) s += e.kind;
    return s;
  }

  std::vector<HostEdit> edits;
  std::vector<int> changes;
};

// Image numbers the test editor can load. They are process-wide cache keys,
// so every test binary uses the same sizes for the same numbers.
enum TestImage : int
{
  kImgBackground = 9001,  // 200 x 150, opaque grey
  kImgSquare = 9002,      // 40 x 40, opaque red
  kImgStripH = 9003,      // 80 x 20: two frames side by side, green then blue
  kImgStripV = 9004,      // 30 x 90: three frames stacked
  kImgKnob = 9005,        // 64 x 32: left half a dot, right half a face
  kImgHandle = 9006,      // 16 x 16
  kImgBroken = 9099,      // does not decode
};

inline LICE_IBitmap* MakeTestImage(int number)
{
  auto fill = [](int w, int h, LICE_PixelWord c) {
    auto* b = new LICE_MemBitmap(w, h, 4);
    LICE_FillArea(b, 0, 0, w, h, c, 1.0f, ComposeCopy);
    return b;
  };
  switch (number)
  {
    case kImgBackground: return fill(200, 150, 0xFF404040);
    case kImgSquare: return fill(40, 40, 0xFFFF0000);
    case kImgStripH:
    {
      LICE_MemBitmap* b = fill(80, 20, 0xFF00FF00);
      LICE_FillArea(b, 40, 0, 40, 20, 0xFF0000FF, 1.0f, ComposeCopy);
      return b;
    }
    case kImgStripV:
    {
      LICE_MemBitmap* b = fill(30, 90, 0xFF110000);
      LICE_FillArea(b, 0, 30, 30, 30, 0xFF220000, 1.0f, ComposeCopy);
      LICE_FillArea(b, 0, 60, 30, 30, 0xFF330000, 1.0f, ComposeCopy);
      return b;
    }
    case kImgKnob:
    {
      LICE_MemBitmap* b = fill(64, 32, 0x00000000);
      LICE_FillArea(b, 14, 2, 4, 4, 0xFFFFFFFF, 1.0f, ComposeCopy);
      LICE_FillArea(b, 40, 8, 16, 16, 0xFF808080, 1.0f, ComposeCopy);
      return b;
    }
    case kImgHandle: return fill(16, 16, 0xFFC0C0C0);
    default: return nullptr;
  }
}

class TestEditor : public IGraphicsPlatform
{
public:
  using IGraphicsPlatform::IGraphicsPlatform;

  LICE_IBitmap* LoadImageResource(int number, const char*) override
  {
    ++loads;
    return MakeTestImage(number);
  }
  bool ShowRegion(const IBounds& r) override
  {
    shown.push_back(r);
    return true;
  }
  bool OpenLink(const char* address, const char*, const char*, const char*) override
  {
    links.push_back(address);
    return linkWorks;
  }

  int loads = 0;
  bool linkWorks = true;
  std::vector<IBounds> shown;
  std::vector<std::string> links;
};

// A plug-in with its editor attached (canvas made, values mirrored).
struct Gui
{
  explicit Gui(int width = 200, int height = 150)
    : plug(new FakePlug), g(new TestEditor(plug.get(), width, height, 0))
  {
    plug->AttachEditor(g);
  }

  // Hover on, background at index 0.
  void WithBackdrop() { g->AddBackdrop(kImgBackground, "bg.png"); }

  std::unique_ptr<FakePlug> plug;
  TestEditor* g;  // owned by plug
};

inline IPointerMods Left() { IPointerMods m; m.left = true; return m; }
inline IPointerMods Right() { IPointerMods m; m.right = true; return m; }
inline IPointerMods Shift() { IPointerMods m; m.left = true; m.shift = true; return m; }

inline LICE_PixelWord PixelAt(LICE_IBitmap* b, int x, int y) { return b->Pixels()[y * b->RowStride() + x]; }

}  // namespace guitest
