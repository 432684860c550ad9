#include "vst3/sdk/ParameterContainer.h"

namespace Steinberg {
namespace Vst {

Parameter* ParameterContainer::addParameter(Parameter* p) {
  if (!p)
    return nullptr;
  const ParamID id = p->getInfo().id;
  if (indexById_.count(id) != 0) {
    p->release();
    return nullptr;
  }
  indexById_[id] = params_.size();
  params_.push_back(IPtr<Parameter>::adopt(p));
  return p;
}

Parameter* ParameterContainer::addParameter(const ParameterInfo& info) {
  return addParameter(new Parameter(info));
}

Parameter* ParameterContainer::addParameter(const TChar* title, const TChar* units, int32 stepCount,
                                            ParamValue defaultValueNormalized, int32 flags, int32 tag,
                                            UnitID unitID, const TChar* shortTitle) {
  if (!title)
    return nullptr;
  const ParamID id = tag >= 0 ? static_cast<ParamID>(tag) : static_cast<ParamID>(getParameterCount());
  return addParameter(new Parameter(title, id, units, defaultValueNormalized, stepCount, flags, unitID, shortTitle));
}

Parameter* ParameterContainer::getParameterByIndex(int32 index) const {
  if (index < 0 || index >= getParameterCount())
    return nullptr;
  return params_[static_cast<size_t>(index)].get();
}

Parameter* ParameterContainer::getParameter(ParamID id) const {
  const auto found = indexById_.find(id);
  return found == indexById_.end() ? nullptr : params_[found->second].get();
}

bool ParameterContainer::removeParameter(ParamID id) {
  const auto found = indexById_.find(id);
  if (found == indexById_.end())
    return false;
  const size_t removed = found->second;
  params_.erase(params_.begin() + static_cast<std::ptrdiff_t>(removed));
  indexById_.erase(found);
  for (auto& entry : indexById_)
    if (entry.second > removed)
      --entry.second;
  return true;
}

void ParameterContainer::removeAll() {
  params_.clear();
  indexById_.clear();
}

} // namespace Vst
} // namespace Steinberg
