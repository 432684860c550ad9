// ParameterContainer: a controller's parameters in publication order, with
// lookup by ID.
#pragma once

#include "vst3/sdk/IPtr.h"
#include "vst3/sdk/Parameter.h"

#include <map>
#include <vector>

namespace Steinberg {
namespace Vst {

class ParameterContainer {
public:
  // Takes over the caller's reference to `p`. A second parameter with an ID
  // already present is refused (released, null returned): hosts require
  // unique IDs.
  Parameter* addParameter(Parameter* p);
  Parameter* addParameter(const ParameterInfo& info);
  // ID = tag when tag >= 0, else the current parameter count. A null title is
  // refused.
  Parameter* addParameter(const TChar* title, const TChar* units = nullptr, int32 stepCount = 0,
                          ParamValue defaultValueNormalized = 0., int32 flags = ParameterInfo::kCanAutomate,
                          int32 tag = -1, UnitID unitID = kRootUnitId, const TChar* shortTitle = nullptr);

  int32 getParameterCount() const { return static_cast<int32>(params_.size()); }
  // Null for an index out of range.
  Parameter* getParameterByIndex(int32 index) const;
  // Null for an unknown ID.
  Parameter* getParameter(ParamID id) const;

  bool removeParameter(ParamID id);
  void removeAll();

private:
  std::vector<IPtr<Parameter>> params_;
  std::map<ParamID, size_t> indexById_;
};

} // namespace Vst
} // namespace Steinberg
