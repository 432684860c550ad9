#pragma once
//! The editor on Linux. Its X11 window, timer and event translation are still
//! to come; until then it runs headless (Tick and the pointer operations drive
//! it, the canvas holds the picture) and offers the platform services that
//! need no window: folders and opening a web address.

#include "graphics/IGraphicsPlatform.h"

class IGraphicsLinux : public IGraphicsPlatform
{
public:
  using IGraphicsPlatform::IGraphicsPlatform;

  const char* PlatformType() const override { return "X11EmbedWindowID"; }

  //! Folder of the host executable, with its trailing slash; empty when unknown.
  void HostFolder(char* out) override;
  //! Folder of the file holding this code (the plug-in module), likewise.
  void ModuleFolder(char* out) override;
  //! Hands the address to the desktop's opener (xdg-open); true when it started.
  bool OpenLink(const char* address, const char* caption, const char* confirm, const char* failure) override;
};
