// The player's window as a user meets it, under Xvfb with the JACK dummy
// server for a sound card: the top-level window "Thrumwell" found by its
// name, its editor part identical to the headless snapshot of the same
// state, the transport strip under it; Play/Stop pressed with real X input
// (a click on the button, the space bar over the strip or on the focused
// window) starts and stops the sound without a click; the window manager's close ends with a fade, exit 0, settings saved.

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "raster/LICE_Bitmap.h"
#include "raster/LICE_PngWrite.h"
#include "tests/player/PlayerJackFixture.h"
#include "tests/player/WindowPicture.h"
#include "tests/tools/RunProgram.h"
#include "tools/player/PlayerStrip.h"

namespace
{

using namespace PlayerTest;

constexpr int kRate = JackRecorder::kRate;
const std::vector<std::string> kState = {"--program", "Higher frequencies", "--param", "Volume=100"};

// The top-level window with this name (_NET_WM_NAME, else WM_NAME), mapped.
Window FindWindowNamed(Display* display, const std::string& title)
{
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  Window found = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n))
    return 0;
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  for (unsigned int i = 0; i < n && !found; ++i)
  {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
      continue;
    std::string name;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], netName, 0, 256, False, utf8, &type, &format, &items, &after,
                           &data) == Success &&
        data && type == utf8)
      name.assign(reinterpret_cast<char*>(data), items);
    if (data)
      XFree(data);
    char* oldName = nullptr;
    if (name.empty() && XFetchName(display, children[i], &oldName) && oldName)
      name = oldName;
    if (oldName)
      XFree(oldName);
    if (name == title)
      found = children[i];
  }
  if (children)
    XFree(children);
  return found;
}

Picture Capture(Display* display, Window window)
{
  Picture picture;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes))
    return picture;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image)
    return picture;
  picture.width = attributes.width;
  picture.height = attributes.height;
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      picture.rgb[static_cast<std::size_t>(y) * picture.width + x] =
        static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
  XDestroyImage(image);
  return picture;
}

class PlayerWindow : public PlayerOnJack
{
protected:
  void SetUp() override
  {
    if (!std::getenv("DISPLAY"))
      GTEST_SKIP() << "no DISPLAY: the player's window needs an X server (Xvfb)";
    PlayerOnJack::SetUp();
    windowed = true;
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    // The pointer rests away from where the window opens, so that the editor
    // shows no hover the snapshot has not.
    const Screen* screen = DefaultScreenOfDisplay(display);
    XTestFakeMotionEvent(display, DefaultScreen(display), WidthOfScreen(screen) - 1, HeightOfScreen(screen) - 1,
                         CurrentTime);
    XSync(display, False);
  }
  void TearDown() override
  {
    if (display)
      XCloseDisplay(display);
    PlayerOnJack::TearDown();
  }

  // Real input at a point of the window, through XTEST.
  void MoveTo(Window window, int x, int y)
  {
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rx, ry, CurrentTime);
    XSync(display, False);
  }
  void Click(Window window, int x, int y)
  {
    MoveTo(window, x, y);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
  }
  void Space()
  {
    const KeyCode code = XKeysymToKeycode(display, XK_space);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
  }
  // What the window manager sends when the user closes the window.
  void Close(Window window)
  {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &ev);
    XSync(display, False);
  }

  Display* display = nullptr;
};

}  // namespace

TEST_F(PlayerWindow, ShowsTheEditorAndStripAndPlaysStopsAndClosesByRealInput)
{
  const char* snapshotTool = std::getenv("THRUMWELL_SNAPSHOT");
  ASSERT_NE(snapshotTool, nullptr) << "THRUMWELL_SNAPSHOT names the snapshot tool";
  const std::string snapshotPath = (home / "snapshot.png").string();
  std::vector<std::string> snapshotArgs = {"-o", snapshotPath};
  snapshotArgs.insert(snapshotArgs.end(), kState.begin(), kState.end());
  ASSERT_EQ(RunProgram(snapshotTool, snapshotArgs, "/dev/null", (home / "snapshot.err").string()), 0)
    << ReadText((home / "snapshot.err").string());
  const Picture snapshot = ReadPng(snapshotPath);
  ASSERT_GT(snapshot.width, 0);

  // The keyboard follows the pointer, as on a screen without a window
  // manager, whatever an earlier test left.
  XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
  XSync(display, False);
  const std::size_t from = recorder->Frames();
  auto child = Start(kState);
  Window window = 0;
  ASSERT_TRUE(WaitFor(15.0, [&] { return (window = FindWindowNamed(display, "Thrumwell")) != 0; }))
    << "no window \"Thrumwell\"\n" << Errors();

  // The editor part equals the headless snapshot once painted; the strip
  // fills the band below it, showing "Stop" while playing.
  Picture picture;
  const bool same = WaitFor(10.0, [&] {
    picture = Capture(display, window);
    return Differences(picture, snapshot) == 0;
  });
  EXPECT_TRUE(same) << Differences(picture, snapshot) << " pixels of the editor differ from the snapshot";
  EXPECT_EQ(picture.width, snapshot.width);
  EXPECT_EQ(picture.height, snapshot.height + PlayerStrip::kHeight);
  const int stripTop = snapshot.height;
  const int buttonX = (PlayerStrip::kButtonLeft + PlayerStrip::kButtonRight) / 2;
  const int buttonY = stripTop + (PlayerStrip::kButtonTop + PlayerStrip::kButtonBottom) / 2;
  auto sounding = [&] { return recorder->Frames() > from + kRate / 5 && recorder->RecentPeak(kRate / 20) > 0.9f; };
  ASSERT_TRUE(WaitFor(10.0, sounding)) << Errors();
  ASSERT_TRUE(WaitFor(5.0, [&] {
    picture = Capture(display, window);
    return picture.height > buttonY && picture.At(PlayerStrip::kButtonRight - 3, buttonY) == kStopButton;
  })) << "the strip shows no Stop button";
  EXPECT_TRUE(ShowsStripPanel(picture)) << "the strip's panel is missing";
  // The picture of the window for the README.
  {
    LICE_MemBitmap bitmap(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        bitmap.Pixels()[static_cast<std::size_t>(y) * bitmap.RowStride() + x] = 0xFF000000u | picture.At(x, y);
    LICE_WritePng("player-window.png", &bitmap, false);
  }

  // A click on the button stops: the tone fades out with the instrument's
  // own ramp, and the button turns to "Play".
  Click(window, buttonX, buttonY);
  ASSERT_TRUE(WaitFor(5.0, [&] { return recorder->RecentPeak(kRate / 5) < 1e-6f; })) << "still sounding after Stop\n"
                                                                                 << Errors();
  EXPECT_TRUE(WaitFor(5.0, [&] {
    picture = Capture(display, window);
    return picture.At(PlayerStrip::kButtonRight - 3, buttonY) == kPlayButton;
  })) << "the button does not show Play";
  // The space bar over the strip plays again.
  const std::size_t silentAt = recorder->Frames();
  MoveTo(window, picture.width - 20, buttonY);
  Space();
  ASSERT_TRUE(WaitFor(5.0, [&] { return recorder->Frames() > silentAt + kRate / 2 && sounding(); }))
    << "the space bar did not play\n" << Errors();
  // With the keyboard given to the window (as a window manager gives it) and
  // the pointer elsewhere, the space bar stops and plays too.
  XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
  const Screen* screen = DefaultScreenOfDisplay(display);
  XTestFakeMotionEvent(display, DefaultScreen(display), WidthOfScreen(screen) - 1, HeightOfScreen(screen) - 1,
                       CurrentTime);
  Space();
  EXPECT_TRUE(WaitFor(5.0, [&] { return recorder->RecentPeak(kRate / 5) < 1e-6f; }))
    << "the space bar on the focused window did not stop\n" << Errors();
  const std::size_t stoppedAt = recorder->Frames();
  Space();
  EXPECT_TRUE(WaitFor(5.0, [&] { return recorder->Frames() > stoppedAt + kRate / 2 && sounding(); }))
    << "the space bar on the focused window did not play\n" << Errors();
  XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
  XSync(display, False);

  // The window manager's close: the sound fades out, the player exits 0 and
  // remembers its settings.
  Close(window);
  ASSERT_EQ(child->Wait(15.0), 0) << Errors();
  EXPECT_LT(recorder->RecentPeak(1024), 1e-6f) << "still sounding after the exit";
  // Three spans of sound (start to Stop, the two spaces, space to close),
  // each beginning and ending with the instrument's fade, no click.
  const float allowed = static_cast<float>(2.0 * M_PI * 402.0 / kRate * kGain100 + kGain100 / 128.0) * 1.05f;
  EXPECT_EQ(SoundingSpans(*recorder, from, kRate / 10).size(), 3u);
  EXPECT_EQ(Clicks(*recorder, from, recorder->Frames(), allowed, ReportedDropOuts(Errors())), "");
  EXPECT_TRUE(std::filesystem::exists(home / "config" / "thrumwell" / "state.bin"));
  EXPECT_NE(ReadText((home / "config" / "thrumwell" / "device.txt").string()).find("device=recorder\n"),
            std::string::npos);
  XSync(display, False);
  EXPECT_EQ(FindWindowNamed(display, "Thrumwell"), 0u) << "the window outlived the player";
}

// On a screen scaled to 200 % (Xft.dpi 192) the player tells the editor the
// factor: the window shows the headless picture at 2, and the strip below
// it is drawn at 2 too, its button working at its scaled place.
TEST_F(PlayerWindow, FollowsTheScreensScaleWithItsStrip)
{
  const char* snapshotTool = std::getenv("THRUMWELL_SNAPSHOT");
  ASSERT_NE(snapshotTool, nullptr) << "THRUMWELL_SNAPSHOT names the snapshot tool";
  const std::string snapshotPath = (home / "snapshot-200.png").string();
  std::vector<std::string> snapshotArgs = {"-o", snapshotPath, "--scale", "2"};
  snapshotArgs.insert(snapshotArgs.end(), kState.begin(), kState.end());
  ASSERT_EQ(RunProgram(snapshotTool, snapshotArgs, "/dev/null", (home / "snapshot.err").string()), 0)
    << ReadText((home / "snapshot.err").string());
  const Picture snapshot = ReadPng(snapshotPath);
  ASSERT_EQ(snapshot.width, 736);

  const Window root = DefaultRootWindow(display);
  const Atom resources = XInternAtom(display, "RESOURCE_MANAGER", False);
  const std::string dpi = "Xft.dpi:\t192\n";
  XChangeProperty(display, root, resources, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(dpi.data()), static_cast<int>(dpi.size()));
  XSync(display, False);
  auto child = Start(kState);
  Window window = 0;
  const bool found = WaitFor(15.0, [&] { return (window = FindWindowNamed(display, "Thrumwell")) != 0; });
  XDeleteProperty(display, root, resources);
  XSync(display, False);
  ASSERT_TRUE(found) << "no window \"Thrumwell\"\n" << Errors();

  Picture picture;
  const bool same = WaitFor(10.0, [&] {
    picture = Capture(display, window);
    return Differences(picture, snapshot) == 0;
  });
  EXPECT_TRUE(same) << Differences(picture, snapshot) << " pixels of the editor differ from the snapshot at 2";
  EXPECT_EQ(picture.width, 736);
  EXPECT_EQ(picture.height, 740 + 2 * PlayerStrip::kHeight);
  const int buttonX = PlayerStrip::kButtonLeft + PlayerStrip::kButtonRight;
  const int buttonY = 740 + PlayerStrip::kButtonTop + PlayerStrip::kButtonBottom;
  ASSERT_TRUE(WaitFor(10.0, [&] {
    picture = Capture(display, window);
    return picture.height > buttonY && picture.At(2 * PlayerStrip::kButtonRight - 6, buttonY) == kStopButton;
  })) << "the strip shows no Stop button at its scaled place\n" << Errors();
  // A click on the button at its scaled place stops.
  Click(window, buttonX, buttonY);
  EXPECT_TRUE(WaitFor(5.0, [&] {
    picture = Capture(display, window);
    return picture.At(2 * PlayerStrip::kButtonRight - 6, buttonY) == kPlayButton;
  })) << "the button does not show Play";

  // The desktop's scale changes to 150 %: editor and strip follow, and the
  // editor shows the picture at 1.5 with nothing left of the one at 2.
  std::vector<std::string> smallerArgs = {"-o", snapshotPath, "--scale", "1.5"};
  smallerArgs.insert(smallerArgs.end(), kState.begin(), kState.end());
  ASSERT_EQ(RunProgram(snapshotTool, smallerArgs, "/dev/null", (home / "snapshot.err").string()), 0);
  const Picture smaller = ReadPng(snapshotPath);
  const std::string dpi144 = "Xft.dpi:\t144\n";
  XChangeProperty(display, root, resources, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(dpi144.data()), static_cast<int>(dpi144.size()));
  XSync(display, False);
  // The editor and the strip are two windows painted one after the other:
  // wait for both before judging either.
  const int smallButtonX = static_cast<int>(1.5 * PlayerStrip::kButtonRight) - 5;
  const bool followed = WaitFor(10.0, [&] {
    picture = Capture(display, window);
    return picture.width == 552 && picture.height == 555 + 72 && Differences(picture, smaller) == 0 &&
           picture.At(smallButtonX, 555 + 36) == kPlayButton;
  });
  XDeleteProperty(display, root, resources);
  XSync(display, False);
  EXPECT_TRUE(followed) << picture.width << " x " << picture.height << ", " << Differences(picture, smaller)
                        << " pixels of the editor differ from the snapshot at 1.5";
  EXPECT_EQ(picture.At(smallButtonX, 555 + 36), kPlayButton);
  Close(window);
  ASSERT_EQ(child->Wait(15.0), 0) << Errors();
}

// Without a display the player says so and ends at once, status 1.
TEST_F(PlayerWindow, RefusesToStartWithoutADisplay)
{
  const std::string shown = std::getenv("DISPLAY");
  unsetenv("DISPLAY");
  const int status = Start({})->Wait(15.0);
  setenv("DISPLAY", shown.c_str(), 1);
  EXPECT_EQ(status, 1);
  EXPECT_NE(Errors().find("no display"), std::string::npos) << Errors();
}
