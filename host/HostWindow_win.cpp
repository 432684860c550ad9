// HostWindow on Windows: a top-level window of our own class whose client
// area holds the plug-in's child window. Input is delivered as the window
// messages Windows itself would deliver: to the window holding the capture,
// or else to the deepest visible window of ours under the point (a dropped
// list of a combo box included). A hover moves the cursor there first, so
// that leave tracking agrees with the message. The loop
// translates and dispatches like any host's, and counts the WM_TIMER
// messages it hands to the plug-in's window (a direct child of ours).
#include "host/HostWindow.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace ThrumwellHost
{
namespace
{
constexpr const char* kHostClass = "ThrumwellHostWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Away from the middle of the screen, where a pointer left alone rests.
constexpr int kLeft = 860;
constexpr int kTop = 520;
constexpr int kKeyTimeoutMs = 1000;

// What the window procedure remembers for the host: a close asked for, and
// the characters typed on the window itself.
struct HostWindowInbox
{
  static constexpr std::size_t kMaxKeys = 64;
  bool closeRequested = false;
  std::vector<int> keys;
};

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  auto* inbox = reinterpret_cast<HostWindowInbox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  // Closing is the host's decision, never the window system's: it is only
  // noted.
  if (message == WM_CLOSE)
  {
    if (inbox) inbox->closeRequested = true;
    return 0;
  }
  if (message == WM_CHAR && inbox && inbox->keys.size() < HostWindowInbox::kMaxKeys)
  {
    inbox->keys.push_back(static_cast<int>(wParam & 0xFF));
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterHostClass()
{
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kHostClass;
    return RegisterClassA(&wc) != 0;
  }();
  return registered;
}

struct KeyName
{
  const char* name;
  WORD vk;
};
constexpr KeyName kKeys[] = {
  {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"BackSpace", VK_BACK}, {"Tab", VK_TAB},
  {"Up", VK_UP},         {"Down", VK_DOWN},     {"Left", VK_LEFT},      {"Right", VK_RIGHT},
  {"space", VK_SPACE},   {"Delete", VK_DELETE}, {"Home", VK_HOME},      {"End", VK_END},
};

struct PopupSearch
{
  POINT screen;
  HWND found;
};

// A visible popup of this thread under the point (the dropped list of a combo
// box sits above everything else).
BOOL CALLBACK FindPopup(HWND hwnd, LPARAM data)
{
  auto* search = reinterpret_cast<PopupSearch*>(data);
  if (!IsWindowVisible(hwnd) || !(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_POPUP)) return TRUE;
  RECT r;
  if (GetWindowRect(hwnd, &r) && PtInRect(&r, search->screen))
  {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CountChild(HWND, LPARAM data)
{
  ++*reinterpret_cast<int*>(data);
  return TRUE;
}

class HostWindowWin final : public HostWindow
{
public:
  explicit HostWindowWin(HWND hwnd) : hwnd(hwnd)
  {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&inbox));
  }
  ~HostWindowWin() override
  {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }

  void* ParentHandle() const override { return hwnd; }
  const char* PlatformType() const override { return "HWND"; }
  float SystemScale() const override
  {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const UINT dpi = dpiForWindow ? dpiForWindow(hwnd) : 0;
    return dpi > 0 ? static_cast<float>(dpi) / 96.0f : 1.0f;
  }

  void Show() override
  {
    // The pointer starts outside the window, wherever the last user left it,
    // so that only the input a test sends reaches the editor.
    RECT r;
    if (parkPointer && GetWindowRect(hwnd, &r)) SetCursorPos(r.left - 8, r.top - 8);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
  }

  bool Resize(int width, int height) override
  {
    RECT r = {0, 0, width, height + footerHeight};
    if (!AdjustWindowRectEx(&r, kStyle, FALSE, 0)) return false;
    editorWidth = width;
    editorHeight = height;
    if (footer && IsWindow(footer))
      SetWindowPos(footer, nullptr, 0, height, width, footerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // A larger (scaled) editor is moved back onto the screen where it would
    // reach past its edge: pixels off the screen cannot be captured.
    RECT at{};
    GetWindowRect(hwnd, &at);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = std::max(0, std::min<int>(at.left, GetSystemMetrics(SM_CXSCREEN) - w));
    const int y = std::max(0, std::min<int>(at.top, GetSystemMetrics(SM_CYSCREEN) - h));
    const UINT keep = x == at.left && y == at.top ? SWP_NOMOVE : 0;
    return SetWindowPos(hwnd, nullptr, x, y, w, h, keep | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
  }

  void SetFooter(void* child, int height) override
  {
    footer = static_cast<HWND>(child);
    footerHeight = footer ? std::max(height, 0) : 0;
    if (editorWidth <= 0)
    {
      // No editor has sized the window yet: the editor's part is what is
      // there now.
      RECT client;
      GetClientRect(hwnd, &client);
      editorWidth = client.right;
      editorHeight = client.bottom;
    }
    Resize(editorWidth, editorHeight);
  }

  bool CloseRequested() const override { return inbox.closeRequested; }

  int TakeKey() override
  {
    if (inbox.keys.empty()) return -1;
    const int key = inbox.keys.front();
    inbox.keys.erase(inbox.keys.begin());
    return key;
  }

  void Pump(int milliseconds) override
  {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;)
    {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) Deliver(msg);
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) break;
      MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
  }

  int PumpTicks(int ticks, int timeoutMs) override
  {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int seen = 0;
    for (;;)
    {
      MSG msg;
      if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
      {
        const bool tick = IsEditorTick(msg);
        if (tick && seen >= ticks) break;
        // Take exactly the message looked at (a paint stays queued until it
        // is validated, so it is dispatched as it was peeked).
        if (msg.message != WM_PAINT) PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
        Deliver(msg);
        if (tick) ++seen;
        continue;
      }
      if (seen >= ticks) break;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) break;
      MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return seen;
  }

  void MoveTo(int x, int y, int modifiers) override { Mouse(WM_MOUSEMOVE, x, y, modifiers); }

  void Press(int x, int y, Button button, int modifiers) override
  {
    buttons |= button == kLeft ? MK_LBUTTON : MK_RBUTTON;
    Mouse(button == kLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, x, y, modifiers);
  }

  void Release(int x, int y, Button button, int modifiers) override
  {
    buttons &= ~static_cast<WPARAM>(button == kLeft ? MK_LBUTTON : MK_RBUTTON);
    Mouse(button == kLeft ? WM_LBUTTONUP : WM_RBUTTONUP, x, y, modifiers);
  }

  void DoubleClick(int x, int y, int modifiers) override
  {
    Press(x, y, kLeft, modifiers);
    Release(x, y, kLeft, modifiers);
    // The second press is a double click for windows whose class asks for them.
    buttons |= MK_LBUTTON;
    HWND target = Target(x, y, nullptr);
    const bool wantsDouble = target && (GetClassLongPtrA(target, GCL_STYLE) & CS_DBLCLKS);
    Mouse(wantsDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, x, y, modifiers);
    Release(x, y, kLeft, modifiers);
  }

  void Wheel(int x, int y, int delta, int modifiers) override
  {
    // The wheel message carries the position on the screen.
    POINT screen = {x, y};
    ClientToScreen(hwnd, &screen);
    SetModifierKeys(modifiers);
    HWND target = Target(x, y, nullptr);
    if (!target) return;
    const WPARAM keys = buttons | ModifierFlags(modifiers);
    PostMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<short>(delta)), MAKELPARAM(screen.x, screen.y));
  }

  void Type(const std::string& text) override
  {
    for (const char c : text)
    {
      const SHORT scan = VkKeyScanA(c);
      if (scan == -1) continue;
      const int shift = (scan & 0x100) ? kShift : 0;
      Keystroke(LOBYTE(scan), shift);
    }
  }

  void Key(const std::string& name, int modifiers) override
  {
    for (const KeyName& k : kKeys)
      if (name == k.name)
      {
        Keystroke(k.vk, modifiers);
        return;
      }
    if (name.size() == 1)
    {
      const SHORT scan = VkKeyScanA(name[0]);
      if (scan != -1) Keystroke(LOBYTE(scan), modifiers);
    }
  }

  bool Capture(std::vector<std::uint32_t>& pixels, int& width, int& height) override
  {
    RECT client;
    if (!GetClientRect(hwnd, &client)) return false;
    width = client.right;
    height = client.bottom;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(hwnd);
    HDC memDc = CreateCompatibleDC(windowDc);
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (memDc && section && bits)
    {
      HGDIOBJ old = SelectObject(memDc, section);
      // The window's pixels as they are on the screen, its children included.
      ok = BitBlt(memDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY) != 0;
      GdiFlush();
      SelectObject(memDc, old);
      if (ok)
      {
        const auto* words = static_cast<const std::uint32_t*>(bits);
        pixels.assign(words, words + std::size_t(width) * std::size_t(height));
        for (std::uint32_t& p : pixels) p |= 0xFF000000u;
      }
    }
    if (section) DeleteObject(section);
    if (memDc) DeleteDC(memDc);
    ReleaseDC(hwnd, windowDc);
    return ok;
  }

  int ChildCount() const override
  {
    int count = 0;
    EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(&count));
    return count;
  }

private:
  using Clock = std::chrono::steady_clock;

  void Deliver(MSG& msg)
  {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  bool IsEditorTick(const MSG& msg) const
  {
    return msg.message == WM_TIMER && msg.hwnd && GetParent(msg.hwnd) == hwnd;
  }

  static WPARAM ModifierFlags(int modifiers)
  {
    return ((modifiers & kShift) ? MK_SHIFT : 0) | ((modifiers & kControl) ? MK_CONTROL : 0);
  }

  // The thread's key state says which modifiers are held, as it would after
  // real key presses: handlers read Alt (and the wheel from the host all
  // three) from it.
  static void SetModifierKeys(int modifiers)
  {
    BYTE state[256];
    if (!GetKeyboardState(state)) return;
    auto set = [&](int vk, bool down) { state[vk] = down ? 0x80 : 0; };
    set(VK_SHIFT, modifiers & kShift);
    set(VK_CONTROL, modifiers & kControl);
    set(VK_MENU, modifiers & kAlt);
    SetKeyboardState(state);
  }

  // The window that receives pointer input at client point (x, y) of the
  // host window, and the point in its client coordinates.
  HWND Target(int x, int y, POINT* local) const
  {
    POINT screen = {x, y};
    ClientToScreen(hwnd, &screen);
    HWND target = GetCapture();
    if (!target || GetWindowThreadProcessId(target, nullptr) != GetCurrentThreadId())
    {
      target = nullptr;
      PopupSearch search = {screen, nullptr};
      EnumThreadWindows(GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&search));
      if (search.found && search.found != hwnd)
        target = Deepest(search.found, screen);
      else
      {
        RECT client;
        GetClientRect(hwnd, &client);
        POINT inside = {x, y};
        if (PtInRect(&client, inside)) target = Deepest(hwnd, screen);
      }
    }
    if (target && local)
    {
      *local = screen;
      ScreenToClient(target, local);
    }
    return target;
  }

  static HWND Deepest(HWND from, POINT screen)
  {
    HWND at = from;
    for (;;)
    {
      POINT p = screen;
      ScreenToClient(at, &p);
      HWND child = ChildWindowFromPointEx(at, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
      if (!child || child == at) return at;
      at = child;
    }
  }

  void Mouse(UINT message, int x, int y, int modifiers)
  {
    SetModifierKeys(modifiers);
    POINT local;
    HWND target = Target(x, y, &local);
    if (!target) return;
    if (message == WM_MOUSEMOVE && !buttons)
    {
      // A hover asks for leave tracking, which watches the cursor: it must be
      // where the move says. Other input leaves it alone, so that no extra
      // hover from the window system mixes in.
      POINT screen = {x, y};
      ClientToScreen(hwnd, &screen);
      SetCursorPos(screen.x, screen.y);
    }
    PostMessageA(target, message, buttons | ModifierFlags(modifiers), MAKELPARAM(local.x, local.y));
  }

  void Keystroke(WORD vk, int modifiers)
  {
    SetModifierKeys(modifiers);
    HWND focus = GetFocus();
    if (!focus) focus = hwnd;
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    // One key at a time, each delivered (and translated into its character)
    // before the next, as typing does; timer ticks wait.
    PostMessageA(focus, WM_KEYDOWN, vk, 1 | (LPARAM(scan) << 16));
    PumpTicks(0, kKeyTimeoutMs);
    PostMessageA(focus, WM_KEYUP, vk, 1 | (LPARAM(scan) << 16) | (LPARAM(3) << 30));
    PumpTicks(0, kKeyTimeoutMs);
  }

  HWND hwnd;
  WPARAM buttons = 0;
  HostWindowInbox inbox;
  HWND footer = nullptr;
  int footerHeight = 0;
  int editorWidth = 0;
  int editorHeight = 0;
};
}  // namespace

std::unique_ptr<HostWindow> HostWindow::Create(int width, int height, const char* title, HostRunLoop*)
{
  if (!RegisterHostClass()) return nullptr;
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, kStyle, FALSE, 0);
  HWND hwnd = CreateWindowExA(0, kHostClass, title ? title : "", kStyle, kLeft, kTop, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;
  return std::make_unique<HostWindowWin>(hwnd);
}

}  // namespace ThrumwellHost
