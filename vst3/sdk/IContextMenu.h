// The host's context menu for a parameter, reached through IComponentHandler3.
#pragma once

#include "vst3/sdk/FUnknown.h"
#include "vst3/sdk/VstTypes.h"

#include <cstddef>

namespace Steinberg {

class IPlugView;

namespace Vst {

struct IContextMenuItem {
  enum Flags : int32 {
    kIsSeparator = 1 << 0,
    kIsDisabled = 1 << 1,
    kIsChecked = 1 << 2,
    kIsGroupStart = 1 << 3 | kIsDisabled,
    kIsGroupEnd = 1 << 4 | kIsSeparator
  };

  String128 name;
  int32 tag;
  int32 flags;
};

static_assert(sizeof(IContextMenuItem) == 264 && offsetof(IContextMenuItem, tag) == 256 &&
                  offsetof(IContextMenuItem, flags) == 260,
              "IContextMenuItem layout");

class IContextMenuTarget : public FUnknown {
public:
  virtual tresult PLUGIN_API executeMenuItem(int32 tag) = 0;

  static constexpr FUID iid{0x3CDF2E75, 0x85D34144, 0xBF86D36B, 0xD7C4894D};
};

class IContextMenu : public FUnknown {
public:
  using Item = IContextMenuItem;

  virtual int32 PLUGIN_API getItemCount() = 0;
  virtual tresult PLUGIN_API getItem(int32 index, Item& item, IContextMenuTarget** target) = 0;
  virtual tresult PLUGIN_API addItem(const Item& item, IContextMenuTarget* target) = 0;
  virtual tresult PLUGIN_API removeItem(const Item& item, IContextMenuTarget* target) = 0;
  virtual tresult PLUGIN_API popup(UCoord x, UCoord y) = 0;

  static constexpr FUID iid{0x2E93C863, 0x0C9C4588, 0x97DBECF5, 0xAD17817D};
};

class IComponentHandler3 : public FUnknown {
public:
  // Returns an owned menu, or null.
  virtual IContextMenu* PLUGIN_API createContextMenu(IPlugView* plugView, const ParamID* paramID) = 0;

  static constexpr FUID iid{0x69F11617, 0xD26B400D, 0xA4B6B964, 0x7B6EBBAB};
};

} // namespace Vst
} // namespace Steinberg
