#pragma once
//! The editor on Windows. Its child window, frame timer, messages and the
//! typed-entry box's controls are still to come; until then it runs like the
//! headless editor and offers the platform services that need no window:
//! folders of the host and of this module, and opening a web address.

#include "graphics/IGraphicsPlatform.h"

class IGraphicsWin : public IGraphicsPlatform
{
public:
  using IGraphicsPlatform::IGraphicsPlatform;

  const char* PlatformType() const override { return "HWND"; }

  void HostFolder(char* out) override;
  void ModuleFolder(char* out) override;
  //! Asks the confirm text first when given; ShellExecute "open"; the failure
  //! text is shown when the address cannot be opened.
  bool OpenLink(const char* address, const char* caption, const char* confirm, const char* failure) override;
};
