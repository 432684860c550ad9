#pragma once
// What the player asks of its platform (PlayerPlatform_linux.cpp,
// PlayerPlatform_win.cpp).

#include <filesystem>

namespace ThrumwellHost
{
class HostModule;
class HostRunLoop;
}  // namespace ThrumwellHost

// The user's configuration folder for the player: $XDG_CONFIG_HOME/thrumwell
// or ~/.config/thrumwell; %APPDATA%\Thrumwell on Windows. Empty when the
// platform tells none.
std::filesystem::path PlayerConfigFolder();
// Keys typed on standard input, one at a time without Enter when it is a
// console (whose echo is off meanwhile), or the bytes written into it when it
// is a pipe. KeyboardOpen sets the console up; ReadKey answers at once: a
// character, or -1 when none is waiting. KeyboardClose restores the console.
void KeyboardOpen();
int ReadKey();
void KeyboardClose();
// Windows: the process draws at each monitor's own scale (per-monitor DPI
// aware), so that the window is not stretched by the system and hears of
// the monitor's scale; elsewhere nothing. Before the window opens.
void DrawAtMonitorScale();
// Offers the main thread's run loop to the module's factory where hosts of
// this platform do (Linux); the plug-in's timers then run in RunOnce.
void OfferRunLoop(ThrumwellHost::HostModule& module, ThrumwellHost::HostRunLoop& loop);
