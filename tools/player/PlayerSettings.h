#pragma once
// What the player remembers between runs, in the user's configuration folder
// ($XDG_CONFIG_HOME/thrumwell or ~/.config/thrumwell; %APPDATA%\Thrumwell on
// Windows): the component state as the plug-in's getState wrote it
// (state.bin), and the chosen audio system, device, rate and buffer size
// (device.txt, one KEY=VALUE per line). Both are replaced whole on saving, so
// an interrupted save leaves the previous files.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/player/PlayerAudio.h"

class PlayerSettings
{
public:
  // The folder; empty when the platform tells none (no HOME, no APPDATA).
  static std::filesystem::path Folder();

  // Reads whatever is saved; a missing or unreadable file leaves the defaults.
  void Load();
  // Creates the folder when needed; false when a file cannot be written.
  bool Save() const;

  AudioChoice device;               // empty fields: nothing saved
  std::vector<std::uint8_t> state;  // empty: nothing saved
};
