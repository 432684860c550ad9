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
// The folder of the running executable; empty when unknown.
std::filesystem::path PlayerExecutableFolder();
// After this, Ctrl+C, SIGTERM or closing the console set the flag that
// StopRequested reads, instead of ending the process.
void InstallStopHandler();
bool StopRequested();
// Offers the main thread's run loop to the module's factory where hosts of
// this platform do (Linux); the plug-in's timers then run in RunOnce.
void OfferRunLoop(ThrumwellHost::HostModule& module, ThrumwellHost::HostRunLoop& loop);
