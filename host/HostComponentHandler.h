#pragma once
// IComponentHandler that records what the plug-in reports: every edit in
// order, and the restart flags. It also checks that each performEdit and
// endEdit belongs to an open beginEdit of the same parameter, and that every
// call comes on the host's user-interface thread (the thread that made the
// handler, unless SetUiThread names another): hosts accept them nowhere else.

#include <string>
#include <thread>
#include <vector>

#include "host/HostObject.h"
#include "vst3/sdk/IEditController.h"

namespace ThrumwellHost
{

class HostComponentHandler final : public HostObject<Steinberg::Vst::IComponentHandler>
{
public:
  struct Edit
  {
    enum Kind { kBegin, kPerform, kEnd, kRestart } kind;
    Steinberg::Vst::ParamID id;  // the flags for kRestart
    double value;
  };

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

  const std::vector<Edit>& Edits() const { return edits; }
  // The restart flags reported so far, in order.
  std::vector<Steinberg::int32> Restarts() const;
  void SetUiThread(std::thread::id id) { uiThread = id; }
  // Edits that broke the begin/perform/end bracket, one line each.
  const std::vector<std::string>& Complaints() const { return complaints; }
  void Clear();

private:
  bool IsOpen(Steinberg::Vst::ParamID id) const;
  void CheckThread(const char* call);

  std::vector<Edit> edits;
  std::vector<Steinberg::Vst::ParamID> open;
  std::vector<std::string> complaints;
  std::thread::id uiThread = std::this_thread::get_id();
};

}  // namespace ThrumwellHost
