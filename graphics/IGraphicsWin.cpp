#include "graphics/IGraphicsWin.h"

#include <windows.h>
#include <windowsx.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controls/IControl.h"
#include "plug/IPlugBase.h"
#include "plug/RoundToInt.h"
#include "raster/LICE_Bitmap.h"

namespace
{
constexpr int kPathMax = 256;
constexpr int kBoxTextMax = 1000;
// WM_DPICHANGED_AFTERPARENT: a child window hears that its per-monitor aware
// top-level window moved to a monitor of another scale (Windows 10 1703 on).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The editors whose window is open, in opening order. The window class stays
// registered while the list is not empty, and a message is handled only for
// a window whose user data is one of these editors, so that a stray pointer
// in a window's user data is never followed. Touched only on the
// user-interface thread.
std::vector<IGraphicsWin*>& OpenEditors()
{
  static std::vector<IGraphicsWin*> editors;
  return editors;
}

// Frame rate of the window opened last; its WM_CREATE starts the timer at it.
double timerFrameRate = 24.0;

bool IsOpenEditor(const IGraphicsWin* g)
{
  const auto& open = OpenEditors();
  return g && std::find(open.begin(), open.end(), g) != open.end();
}

void FolderOfModule(HMODULE module, char* out)
{
  *out = '\0';
  char path[kPathMax] = {};
  const DWORD n = GetModuleFileNameA(module, path, kPathMax);
  if (n == 0 || n >= kPathMax) return;
  const char* slash = std::strrchr(path, '\\');
  if (!slash || slash == path + n - 1) return;
  const size_t keep = static_cast<size_t>(slash - path) + 1;
  std::memcpy(out, path, keep);
  out[keep] = '\0';
}

// Key codes KeyPressed understands; -1 for keys it does not.
int KeyCode(WPARAM key)
{
  if (key == VK_SPACE) return 0;
  if (key == VK_UP) return 1;
  if (key == VK_DOWN) return 2;
  if (key == VK_LEFT) return 3;
  if (key == VK_RIGHT) return 4;
  if (key >= 0x30 && key <= 0x39) return static_cast<int>(key - 0x30) + 6;
  if (key >= 0x41 && key <= 0x5A) return static_cast<int>(key - 0x41) + 16;
  if (key >= 0x61 && key <= 0x7A) return static_cast<int>(key - 0x61) + 16;
  return -1;
}

bool AltDown()
{
  return (GetKeyState(VK_MENU) & 0x8000) != 0;
}

IPointerMods ModsOf(WPARAM keys)
{
  IPointerMods m;
  m.left = (keys & MK_LBUTTON) != 0;
  m.right = (keys & MK_RBUTTON) != 0;
  m.shift = (keys & MK_SHIFT) != 0;
  m.control = (keys & MK_CONTROL) != 0;
  m.alt = AltDown();
  return m;
}

// A plain child window: one whose size follows the editor's when it resizes.
bool IsPlainChild(HWND hwnd)
{
  if (!hwnd) return false;
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  return (style & WS_CHILD) && !(exStyle & WS_EX_MDICHILD);
}

void GrowBy(HWND hwnd, int dw, int dh)
{
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return;
  SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Titles the colour dialog with the prompt handed over in lCustData.
UINT_PTR CALLBACK ColourHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
  if (message == WM_INITDIALOG)
  {
    const auto* chooser = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    if (chooser && chooser->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(chooser->lCustData));
  }
  return 0;
}
}  // namespace

// The window procedures and the steps that need the Windows types.
struct IGraphicsWin::Native
{
  static HINSTANCE Instance(const IGraphicsWin& g)
  {
    if (g.moduleInstance) return static_cast<HINSTANCE>(g.moduleInstance);
    // Editors made without a module handle belong to the module holding this code.
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OpenEditors), &module);
    return module;
  }

  // The editor a message is for: the one in the window's user data, when it
  // is an open editor and this is its window.
  static IGraphicsWin* Owner(HWND hwnd)
  {
    auto* g = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return IsOpenEditor(g) && g->window == hwnd ? g : nullptr;
  }

  static void Register(HINSTANCE instance)
  {
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
  }

  // Takes the editor off the open list; the class goes with the last one.
  static void Forget(IGraphicsWin& g, HINSTANCE instance)
  {
    auto& open = OpenEditors();
    const auto found = std::find(open.begin(), open.end(), &g);
    if (found == open.end()) return;
    open.erase(found);
    if (open.empty()) UnregisterClassA(kWindowClass, instance);
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
  {
    if (message == WM_CREATE)
    {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      auto* g = static_cast<IGraphicsWin*>(create->lpCreateParams);
      if (!IsOpenEditor(g)) return -1;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(g));
      g->window = hwnd;
      SetTimer(hwnd, kFrameTimer, static_cast<UINT>(1000.0 / timerFrameRate), nullptr);
      SetFocus(hwnd);
      return 0;
    }
    IGraphicsWin* g = Owner(hwnd);
    if (!g) return DefWindowProcA(hwnd, message, wParam, lParam);
    // Window pixels to layout pixels.
    const int x = g->FromDevice(GET_X_LPARAM(lParam));
    const int y = g->FromDevice(GET_Y_LPARAM(lParam));

    switch (message)
    {
      case WM_PAINT:
      {
        RECT r;
        if (GetUpdateRect(hwnd, &r, FALSE))
        {
          // The layout pixels that cover the window pixels to paint.
          g->PaintPass(IBounds(g->FromDevice(r.left), g->FromDevice(r.top), g->FromDevice(r.right - 1) + 1,
                               g->FromDevice(r.bottom - 1) + 1));
          // An editor without controls paints nothing and so never begins a
          // paint; the region must still be validated, or WM_PAINT repeats
          // for ever.
          ValidateRect(hwnd, &r);
        }
        return 0;
      }
      case WM_CLOSE:
        g->CloseNative();
        return 0;
      case WM_NCDESTROY:
        // Destroyed by someone else (the host destroyed the parent first):
        // the editor lets the window go; it stays counted until closed.
        g->LetWindowGo();
        return DefWindowProcA(hwnd, message, wParam, lParam);
      case WM_MOUSEACTIVATE:
        SetFocus(hwnd);
        return MA_ACTIVATE;
      case WM_KEYDOWN:
      {
        const int code = KeyCode(wParam);
        if (code < 0) return 0;
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        g->KeyPressed(g->FromDevice(p.x), g->FromDevice(p.y), code);
        return 0;
      }
      case WM_TIMER:
        if (wParam == kFrameTimer) g->TimerTick();
        return 0;
      case WM_CTLCOLORSTATIC:
        // Static children keep the system's colours.
        return 0;
      case WM_MOUSEMOVE:
        if (wParam & (MK_LBUTTON | MK_RBUTTON))
        {
          if (GetCapture() == hwnd) g->PointerDrag(x, y, ModsOf(wParam));
        }
        else if (g->PointerHover(x, y, ModsOf(wParam)))
        {
          TRACKMOUSEEVENT track = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
          TrackMouseEvent(&track);
        }
        return 0;
      case WM_RBUTTONDOWN:
        // A right click while a box is open abandons the box and nothing else.
        if (g->BoxOpen())
        {
          g->boxState = BoxCancel;
          return 0;
        }
        [[fallthrough]];
      case WM_LBUTTONDOWN:
        g->HideTipUnlessEnabled();
        if (g->BoxOpen()) g->boxState = BoxCommit;
        SetCapture(hwnd);
        g->PointerDown(x, y, ModsOf(wParam));
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        ReleaseCapture();
        g->PointerUp(x, y, ModsOf(wParam));
        return 0;
      case WM_LBUTTONDBLCLK:
        if (g->PointerDoubleClick(x, y, ModsOf(wParam))) SetCapture(hwnd);
        return 0;
      case WM_MOUSEWHEEL:
      {
        const int steps = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
        RECT r;
        GetWindowRect(hwnd, &r);
        g->PointerWheel(g->FromDevice(GET_X_LPARAM(lParam) - r.left), g->FromDevice(GET_Y_LPARAM(lParam) - r.top),
                        ModsOf(GET_KEYSTATE_WPARAM(wParam)), steps);
        return 0;
      }
      case WM_MOUSELEAVE:
        g->HideTipUnlessEnabled();
        g->PointerLeave();
        return 0;
      case kDpiChangedAfterParent:
        g->FollowSystemScale();
        return 0;
      default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
  }

  // The typed-entry box's procedure: notes focus, Enter and a choice in the
  // list as the box's state; everything else goes to the box's own procedure.
  static LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
  {
    IGraphicsWin* g = Owner(GetParent(box));
    if (!g || g->boxWindow != box) return DefWindowProcA(box, message, wParam, lParam);
    const auto old = reinterpret_cast<WNDPROC>(g->boxOldProc);
    g->HideTipUnlessEnabled();
    switch (message)
    {
      case WM_SETFOCUS:
        g->boxState = BoxActive;
        break;
      case WM_KILLFOCUS:
        g->boxState = BoxIdle;
        break;
      case WM_KEYDOWN:
        if (wParam == VK_RETURN)
        {
          char kind[5] = {};
          GetClassNameA(box, kind, sizeof kind);
          if (lstrcmpiA(kind, "EDIT") == 0) SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(-1), 0);
          g->boxState = BoxCommit;
          return 0;
        }
        g->boxState = BoxActive;
        break;
      case WM_COMMAND:
        if (HIWORD(wParam) == 1)
        {
          g->boxState = BoxCommit;
          return 0;
        }
        break;
      default:
        break;
    }
    return CallWindowProcA(old, box, message, wParam, lParam);
  }
};

IGraphicsWin::~IGraphicsWin()
{
  CloseNative();
}

int IGraphicsWin::OpenWindowCount()
{
  return static_cast<int>(OpenEditors().size());
}

void IGraphicsWin::TimerTick()
{
  // The text is read before the tick commits it.
  if (boxWindow && boxState == BoxCommit)
  {
    char text[kBoxTextMax + 1] = {};
    SendMessageA(static_cast<HWND>(boxWindow), WM_GETTEXT, kBoxTextMax + 1, reinterpret_cast<LPARAM>(text));
    SetBoxText(text);
  }
  Tick();
}

bool IGraphicsWin::ShowRegion(const IBounds& region)
{
  if (!window) return true;
  const auto hwnd = static_cast<HWND>(window);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const IBounds d = ToDevice(region);
  if (dc && canvas)
    BitBlt(dc, d.left, d.top, d.W(), d.H(), static_cast<HDC>(canvas->DeviceContext()), d.left, d.top, SRCCOPY);
  EndPaint(hwnd, &ps);
  return true;
}

void IGraphicsWin::RepaintRegion(const IBounds& region)
{
  if (!window)
  {
    IGraphicsPlatform::RepaintRegion(region);
    return;
  }
  const auto hwnd = static_cast<HWND>(window);
  const IBounds d = ToDevice(region);
  const RECT r = {d.left, d.top, d.right, d.bottom};
  InvalidateRect(hwnd, &r, FALSE);
  if (boxWindow)
  {
    // The box paints itself; the editor must not paint over it.
    RECT boxRect;
    GetClientRect(static_cast<HWND>(boxWindow), &boxRect);
    MapWindowPoints(static_cast<HWND>(boxWindow), hwnd, reinterpret_cast<POINT*>(&boxRect), 2);
    ValidateRect(hwnd, &boxRect);
  }
  UpdateWindow(hwnd);
}

void IGraphicsWin::ResizeEditor(int w, int h)
{
  const int oldWidth = ScaledWidth();
  const int oldHeight = ScaledHeight();
  IGraphicsPlatform::ResizeEditor(w, h);
  const int dw = ScaledWidth() - oldWidth;
  const int dh = ScaledHeight() - oldHeight;
  if (!window) return;
  const auto hwnd = static_cast<HWND>(window);
  GrowBy(hwnd, dw, dh);
  HWND up = GetParent(hwnd);
  for (int level = 0; level < 2 && IsPlainChild(up); ++level)
  {
    GrowBy(up, dw, dh);
    up = GetParent(up);
  }
  InvalidateRect(hwnd, nullptr, FALSE);
}

void IGraphicsWin::AskValue(IControl* control, IParamDef* param, bool centred)
{
  const bool wasOpen = BoxOpen();
  IGraphicsPlatform::AskValue(control, param, centred);
  if (!window || wasOpen || !BoxOpen()) return;

  const auto hwnd = static_cast<HWND>(window);
  const IBounds r = ToDevice(box.rect);
  DWORD style = WS_CHILD | WS_VISIBLE;
  const char* kind = "EDIT";
  const char* title = box.text.c_str();
  if (box.list)
  {
    kind = "COMBOBOX";
    title = "";
    style |= CBS_DROPDOWNLIST;
  }
  else
    style |= ES_MULTILINE | (centred ? ES_CENTER : 0);
  HWND made = CreateWindowExA(0, kind, title, style, r.left, r.top, r.W(), r.H(), hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBoxId)), Native::Instance(*this), nullptr);
  if (!made)
  {
    // No box could be made: the control is not left waiting for one.
    FinishBox();
    return;
  }
  if (box.list)
  {
    for (int i = 0; i < param->NDisplayTexts(); ++i)
      SendMessageA(made, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(param->GetDisplayTextAtIdx(i)));
    if (box.selection >= 0) SendMessageA(made, CB_SETCURSEL, static_cast<WPARAM>(box.selection), 0);
  }
  else
    SendMessageA(made, EM_SETSEL, 0, -1);

  boxWindow = made;
  SetFocus(made);
  boxOldProc = reinterpret_cast<void*>(
    SetWindowLongPtrA(made, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Native::BoxProc)));
  SetWindowLongPtrA(made, GWLP_USERDATA, static_cast<LONG_PTR>(kBoxMarker));
  LOGFONTA font = {};
  font.lfHeight = RoundToInt(14 * scale);
  font.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(font.lfFaceName, "Arial");
  boxFont = CreateFontIndirectA(&font);
  SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(boxFont), TRUE);
}

void IGraphicsWin::CloseBox()
{
  if (boxWindow)
  {
    const auto made = static_cast<HWND>(boxWindow);
    SetWindowLongPtrA(made, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxOldProc));
    boxWindow = nullptr;
    boxOldProc = nullptr;
    DestroyWindow(made);
  }
  if (boxFont)
  {
    DeleteObject(static_cast<HFONT>(boxFont));
    boxFont = nullptr;
  }
  IGraphicsPlatform::CloseBox();
}

void* IGraphicsWin::OpenIn(void* parentWindow)
{
  const auto newParent = static_cast<HWND>(parentWindow);
  int x = 0, y = 0, w = ScaledWidth(), h = ScaledHeight();
  RECT r;
  if (window && GetWindowRect(static_cast<HWND>(window), &r))
  {
    // The open window moves: same size, same place in the new parent.
    POINT at = {r.left, r.top};
    if (newParent && ScreenToClient(newParent, &at))
    {
      x = at.x;
      y = at.y;
    }
    w = r.right - r.left;
    h = r.bottom - r.top;
  }
  CloseNative();
  parent = newParent;

  const HINSTANCE instance = Native::Instance(*this);
  auto& open = OpenEditors();
  open.push_back(this);
  if (open.size() == 1) Native::Register(instance);
  timerFrameRate = frameRate;
  HWND made = CreateWindowExA(0, kWindowClass, "IPlug", WS_CHILD | WS_VISIBLE, x, y, w, h, newParent, nullptr,
                              instance, this);
  if (!made)
  {
    window = nullptr;
    Native::Forget(*this, instance);
    return nullptr;
  }
  window = made;
  RefreshAll();
  return made;
}

void IGraphicsWin::LetWindowGo()
{
  HideTipUnlessEnabled();
  if (endEditCountdown != 0 && plug) plug->FlushHostEndEdit();
  // A button held while the window goes will never be released in it; the
  // host's edit ends now rather than never.
  EndHeldGesture();
  // The box is taken down first, with its own procedure back in place, so
  // that it never sees its last messages through ours.
  FinishBox();
  boxState = BoxIdle;
  window = nullptr;
}

void IGraphicsWin::CloseNative()
{
  const HINSTANCE instance = Native::Instance(*this);
  if (!window)
  {
    // A window destroyed with its parent is still counted until now, when
    // it is surely gone and the class can go with the last one.
    Native::Forget(*this, instance);
    IGraphicsPlatform::CloseNative();
    return;
  }
  const auto hwnd = static_cast<HWND>(window);
  LetWindowGo();
  DestroyWindow(hwnd);
  Native::Forget(*this, instance);
}

void IGraphicsWin::SetScale(float factor)
{
  const float before = scale;
  if (window && GetCapture() == static_cast<HWND>(window)) ReleaseCapture();
  IGraphicsPlatform::SetScale(factor);
  if (!window || scale == before) return;
  const auto hwnd = static_cast<HWND>(window);
  SetWindowPos(hwnd, nullptr, 0, 0, ScaledWidth(), ScaledHeight(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd, nullptr, FALSE);
}

float IGraphicsWin::SystemScale()
{
  // GetDpiForWindow exists from Windows 10 (1607) on; before it, 96 dpi.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  HWND of = window ? static_cast<HWND>(window) : static_cast<HWND>(parent);
  const UINT dpi = dpiForWindow && of ? dpiForWindow(of) : 0;
  return dpi > 0 ? static_cast<float>(dpi) / 96.0f : 1.0f;
}

void IGraphicsWin::FollowSystemScale()
{
  if (ScaleFromHost()) return;
  const float system = AcceptedScale(SystemScale());
  if (system == 0.0f || system == scale) return;
  SetScale(system);
  if (plug) plug->SetEditorSize(ScaledWidth(), ScaledHeight());
}

bool IGraphicsWin::WheelFromHost(int steps)
{
  if (!window) return false;
  const auto hwnd = static_cast<HWND>(window);
  POINT p;
  if (!GetCursorPos(&p) || WindowFromPoint(p) != hwnd) return false;
  RECT r;
  GetWindowRect(hwnd, &r);
  IPointerMods m;
  m.shift = GetKeyState(VK_SHIFT) < 0;
  m.control = GetKeyState(VK_CONTROL) < 0;
  m.alt = AltDown();
  PointerWheel(FromDevice(p.x - r.left), FromDevice(p.y - r.top), m, steps);
  return true;
}

void IGraphicsWin::HostFolder(char* out)
{
  if (out) FolderOfModule(nullptr, out);
}

void IGraphicsWin::ModuleFolder(char* out)
{
  if (out) FolderOfModule(static_cast<HMODULE>(moduleInstance), out);
}

bool IGraphicsWin::OpenLink(const char* address, const char* caption, const char* confirm, const char* failure)
{
  if (!address || !*address) return false;
  if (confirm && *confirm && MessageBoxA(nullptr, confirm, caption, MB_YESNO) != IDYES) return false;
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  if (failure && *failure) MessageBoxA(nullptr, failure, caption, MB_OK);
  return false;
}

bool IGraphicsWin::AskColour(IArgb* colour, const char* prompt)
{
  if (!window || !colour) return false;
  if (!customColours) customColours.reset(new unsigned long[16]());
  CHOOSECOLORA chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = static_cast<HWND>(window);
  chooser.rgbResult = RGB(colour->r, colour->g, colour->b);
  chooser.lpCustColors = reinterpret_cast<COLORREF*>(customColours.get());
  chooser.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_ENABLEHOOK;
  chooser.lCustData = reinterpret_cast<LPARAM>(prompt);
  chooser.lpfnHook = ColourHook;
  if (!ChooseColorA(&chooser)) return false;
  colour->r = GetRValue(chooser.rgbResult);
  colour->g = GetGValue(chooser.rgbResult);
  colour->b = GetBValue(chooser.rgbResult);
  return true;
}

void IGraphicsWin::AskFile(char* path, int action, const char* folder, const char* extensions)
{
  if (!path) return;
  if (!window)
  {
    *path = '\0';
    return;
  }
  char file[kPathMax] = {};
  std::strncpy(file, path, kPathMax - 1);

  // One filter entry whose description and pattern are both "*.a;*.b".
  std::string patterns, firstExtension;
  if (extensions)
  {
    const std::string list = extensions;
    size_t at = 0;
    while (at < list.size())
    {
      const size_t space = list.find(' ', at);
      const std::string ext = list.substr(at, space == std::string::npos ? std::string::npos : space - at);
      if (!ext.empty())
      {
        if (firstExtension.empty()) firstExtension = ext;
        patterns += (patterns.empty() ? "*." : ";*.") + ext;
      }
      if (space == std::string::npos) break;
      at = space + 1;
    }
  }
  std::string filter = patterns;
  filter.push_back('\0');
  filter += patterns;
  filter.push_back('\0');

  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = static_cast<HWND>(window);
  dialog.lpstrFilter = patterns.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = kPathMax;
  dialog.lpstrInitialDir = folder && *folder ? folder : nullptr;
  dialog.lpstrTitle = "Select audio sample";
  dialog.lpstrDefExt = firstExtension.empty() ? nullptr : firstExtension.c_str();
  dialog.Flags = action == 1 ? 0x81802 : 0x81800;
  const BOOL chosen = action == 1 ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (chosen)
    std::strcpy(path, file);
  else
    *path = '\0';
}

IGraphicsPlatform* MakePlatformGraphics(IPlugBase* plug, int width, int height, int frameRate, void* moduleInstance)
{
  auto* g = new IGraphicsWin(plug, width, height, frameRate);
  g->SetModuleInstance(moduleInstance);
  return g;
}
