// The Windows player's window under Wine with Xvfb: found by its title
// "Thrumwell", its editor part identical to the headless snapshot of the
// same state, the transport strip under it, and closed as the close button
// closes it (WM_SYSCOMMAND SC_CLOSE) with exit status 0 and the settings
// saved. Sound goes through DirectSound into ALSA's file plug-in (see the
// audio test); only the window is judged here.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/player/WindowPicture.h"
#include "tests/tools/RunProgram.h"
#include "tools/player/PlayerStrip.h"

namespace {

using namespace PlayerTest;

std::string Read(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The window's client area as the screen shows it.
Picture Capture(HWND hwnd)
{
  Picture picture;
  RECT client;
  POINT origin = {0, 0};
  if (!GetClientRect(hwnd, &client) || !ClientToScreen(hwnd, &origin) || client.right <= 0 || client.bottom <= 0)
    return picture;
  const int w = client.right, h = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory && section && bits)
  {
    HGDIOBJ old = SelectObject(memory, section);
    if (BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY))
    {
      GdiFlush();
      const auto* words = static_cast<const std::uint32_t*>(bits);
      picture.width = w;
      picture.height = h;
      for (std::size_t i = 0; i < std::size_t(w) * std::size_t(h); ++i)
        picture.rgb.push_back(words[i] & 0xFFFFFFu);
    }
    SelectObject(memory, old);
  }
  if (section)
    DeleteObject(section);
  if (memory)
    DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

template <class Condition>
bool WaitFor(double seconds, Condition condition)
{
  for (int i = 0; i < static_cast<int>(seconds * 50); ++i)
  {
    if (condition())
      return true;
    Sleep(20);
  }
  return condition();
}

// The player, started and left running; its error output in a file.
class Player
{
public:
  Player(const std::string& program, const std::string& args, const std::string& errors)
  {
    std::string path = program;
    if (!path.empty() && path[0] == '/')
      path = "Z:" + path;
    std::string line = "\"" + path + "\" " + args;
    // Opened for any sharing, as RunProgram opens its files: a process the
    // last run left behind (Wine's services, started with its handles) may
    // still hold the file.
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    HANDLE err = CreateFileA(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             &security, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = err;
    startup.hStdError = err;
    started = err != INVALID_HANDLE_VALUE &&
              CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (err != INVALID_HANDLE_VALUE)
      CloseHandle(err);
  }
  ~Player()
  {
    if (!started)
      return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  bool Started() const { return started; }
  // The exit status, or -1 when it is still running after the time.
  int Wait(int milliseconds)
  {
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
  }

private:
  PROCESS_INFORMATION process = {};
  bool started = false;
};

}  // namespace

TEST(PlayerWindowUnderWine, ShowsTheEditorAboveTheStripAndClosesWithExitZero)
{
  // Copied: setting the environment below may move what getenv points into.
  const char* playerVariable = std::getenv("THRUMWELL_PLAYER");
  const char* snapshotVariable = std::getenv("THRUMWELL_SNAPSHOT");
  ASSERT_TRUE(playerVariable && snapshotVariable) << "THRUMWELL_PLAYER and THRUMWELL_SNAPSHOT name the tools";
  const std::string player = playerVariable;
  const std::string snapshotTool = snapshotVariable;
  if (!std::getenv("DISPLAY"))
    GTEST_SKIP() << "no window system (under Wine, set DISPLAY to an X server such as Xvfb)";
  _putenv_s("APPDATA", "player-wine-window-test-config");
  std::remove("player-wine-window-test-config/Thrumwell/device.txt");
  ASSERT_EQ(RunProgram(player, {"--list-devices", "--api", "ds"}, "wine-window.out", "wine-window.err"), 0);
  if (Read("wine-window.out").find("\t") == std::string::npos)
    GTEST_SKIP() << "Wine offers no DirectSound device here (no ALSA in Wine?)\n" << Read("wine-window.out");

  ASSERT_EQ(RunProgram(snapshotTool, {"-o", "wine-window-snapshot.png", "--program", "Higher frequencies"},
                       "wine-window.out", "wine-window.err"),
            0)
    << Read("wine-window.err");
  const Picture snapshot = ReadPng("wine-window-snapshot.png");
  ASSERT_GT(snapshot.width, 0);

  // The pointer rests away from where the window opens, so that the editor
  // shows no hover the snapshot has not.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  Player running(player, "--api ds --rate 48000 --buffer 1024 --program \"Higher frequencies\"", "wine-window.err");
  ASSERT_TRUE(running.Started());
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor(30.0, [&] {
    window = FindWindowA(nullptr, "Thrumwell");
    return window && IsWindowVisible(window);
  })) << "no window \"Thrumwell\"\n" << Read("wine-window.err");

  // The editor and the strip are two windows painted one after the other:
  // wait for both.
  Picture picture;
  const bool same = WaitFor(15.0, [&] {
    picture = Capture(window);
    return Differences(picture, snapshot) == 0 && picture.height == snapshot.height + PlayerStrip::kHeight &&
           ShowsStripPanel(picture);
  });
  EXPECT_TRUE(same) << Differences(picture, snapshot) << " pixels of the editor differ from the snapshot";
  EXPECT_EQ(picture.width, snapshot.width);
  EXPECT_EQ(picture.height, snapshot.height + PlayerStrip::kHeight);
  ASSERT_EQ(picture.height, snapshot.height + PlayerStrip::kHeight);
  EXPECT_TRUE(ShowsStripPanel(picture)) << "the strip's panel is missing";

  // Play/Stop by window messages to the strip's window: a click on the
  // button stops (it turns to "Play"), the space bar with the pointer over
  // the strip plays again (it turns to "Stop").
  const int stripTop = snapshot.height;
  const int buttonX = (PlayerStrip::kButtonLeft + PlayerStrip::kButtonRight) / 2;
  const int buttonY = (PlayerStrip::kButtonTop + PlayerStrip::kButtonBottom) / 2;
  HWND strip = ChildWindowFromPoint(window, POINT{buttonX, stripTop + buttonY});
  ASSERT_TRUE(strip && strip != window) << "no window of the strip under the button";
  auto buttonShows = [&](std::uint32_t colour) {
    return WaitFor(5.0, [&] {
      picture = Capture(window);
      return picture.height > stripTop + buttonY &&
             picture.At(PlayerStrip::kButtonRight - 3, stripTop + buttonY) == colour;
    });
  };
  EXPECT_TRUE(buttonShows(kStopButton)) << "the button does not show Stop while playing";
  PostMessageA(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(buttonX, buttonY));
  PostMessageA(strip, WM_LBUTTONUP, 0, MAKELPARAM(buttonX, buttonY));
  EXPECT_TRUE(buttonShows(kPlayButton)) << "a click did not stop";
  POINT over = {picture.width - 20, stripTop + buttonY};
  ClientToScreen(window, &over);
  SetCursorPos(over.x, over.y);
  PostMessageA(strip, WM_KEYDOWN, VK_SPACE, 1);
  PostMessageA(strip, WM_KEYUP, VK_SPACE, 1 | (LPARAM(3) << 30));
  EXPECT_TRUE(buttonShows(kStopButton)) << "the space bar did not play";

  // The close button's command: the player fades out and ends with status 0.
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(running.Wait(30000), 0) << Read("wine-window.err");
  EXPECT_NE(Read("player-wine-window-test-config/Thrumwell/device.txt").find("api=ds"), std::string::npos);
  EXPECT_FALSE(IsWindow(window));
  std::remove("wine-window.out");
  std::remove("wine-window.err");
}
