#pragma once
// The snapshot tool's command line:
//
//   thrumwell-snapshot -o OUT.png [--program N|"NAME"] [--param "NAME=VALUE"]... [--note NOTE]
//                      [--hover X,Y] [--press X,Y] [--drag X,Y] [--release X,Y]
//                      [--wheel X,Y,STEPS] [--right X,Y] [--scale F] [--window [--embedder maps|xembed|notify]]
//   thrumwell-snapshot --help | --version
//
// Pointer events are kept in the order given; every coordinate is in editor
// pixels (of the 368 x 370 layout, whatever the scale) and may lie outside
// the editor. --scale draws the editor F times as large (1 to 4), as a host
// asks with setContentScaleFactor.

#include <string>
#include <vector>

#include "host/HostWindow.h"

struct SnapshotPointer
{
  enum Kind
  {
    kHover,
    kPress,
    kDrag,
    kRelease,
    kWheel,
    kRight,
  };
  Kind kind = kHover;
  int x = 0;
  int y = 0;
  int steps = 0;  // wheel only
};

struct SnapshotOptions
{
  std::string output;
  std::string program;              // empty: the default program stays selected
  std::vector<std::string> params;  // "NAME=VALUE", applied in order
  int note = -1;                    // -1: no note
  std::vector<SnapshotPointer> pointer;
  float scale = 1.0f;               // content scale, 1..4
  bool window = false;              // open the editor in a real window through the host and capture it
  // How that window embeds the editor (Linux; see HostWindow::Embedder).
  ThrumwellHost::HostWindow::Embedder embedder = ThrumwellHost::HostWindow::Embedder::kMapsChild;
  bool help = false;
  bool version = false;
};

// Parses argv into options. On a malformed or out-of-range option, returns
// false with one line of explanation in error. Program and parameter names are
// checked against the instrument later.
bool ParseSnapshotOptions(int argc, char** argv, SnapshotOptions& options, std::string& error);

// The help text printed by --help.
std::string SnapshotUsage();
