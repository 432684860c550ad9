#include "host/HostComponentHandler.h"

#include <algorithm>
#include <cmath>

namespace ThrumwellHost
{

using namespace Steinberg;

bool HostComponentHandler::IsOpen(Vst::ParamID id) const
{
  return std::find(open.begin(), open.end(), id) != open.end();
}

void HostComponentHandler::CheckThread(const char* call)
{
  if (std::this_thread::get_id() != uiThread)
    complaints.push_back(std::string(call) + " called off the user-interface thread");
}

std::vector<int32> HostComponentHandler::Restarts() const
{
  std::vector<int32> flags;
  for (const Edit& e : edits)
    if (e.kind == Edit::kRestart)
      flags.push_back(static_cast<int32>(e.id));
  return flags;
}

tresult PLUGIN_API HostComponentHandler::beginEdit(Vst::ParamID id)
{
  CheckThread("beginEdit");
  edits.push_back({Edit::kBegin, id, 0.0});
  if (IsOpen(id))
    complaints.push_back("beginEdit(" + std::to_string(id) + ") while its edit is open");
  else
    open.push_back(id);
  return kResultOk;
}

tresult PLUGIN_API HostComponentHandler::performEdit(Vst::ParamID id, Vst::ParamValue value)
{
  CheckThread("performEdit");
  edits.push_back({Edit::kPerform, id, value});
  if (!IsOpen(id))
    complaints.push_back("performEdit(" + std::to_string(id) + ") outside beginEdit/endEdit");
  if (!(value >= 0.0 && value <= 1.0))
    complaints.push_back("performEdit(" + std::to_string(id) + ") with value " + std::to_string(value) +
                         " outside 0..1");
  return kResultOk;
}

tresult PLUGIN_API HostComponentHandler::endEdit(Vst::ParamID id)
{
  CheckThread("endEdit");
  edits.push_back({Edit::kEnd, id, 0.0});
  const auto it = std::find(open.begin(), open.end(), id);
  if (it == open.end())
    complaints.push_back("endEdit(" + std::to_string(id) + ") without beginEdit");
  else
    open.erase(it);
  return kResultOk;
}

tresult PLUGIN_API HostComponentHandler::restartComponent(int32 flags)
{
  CheckThread("restartComponent");
  edits.push_back({Edit::kRestart, static_cast<Vst::ParamID>(flags), 0.0});
  return kResultOk;
}

void HostComponentHandler::Clear()
{
  edits.clear();
  open.clear();
  complaints.clear();
}

}  // namespace ThrumwellHost
