#pragma once
// What a host reads of a plug-in's controller to show and automate it: the
// parameter list with titles, units, steps, defaults and flags, the texts of
// values, and the program names of the root unit's program list. Read once;
// Refresh after the plug-in reports changed titles.

#include <string>
#include <vector>

#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IUnits.h"

namespace ThrumwellHost
{

class HostParameterList
{
public:
  struct Parameter
  {
    Steinberg::Vst::ParameterInfo info;
    std::string title;  // UTF-8
    std::string units;
  };

  HostParameterList(Steinberg::Vst::IEditController* controller, Steinberg::Vst::IUnitInfo* units);
  void Refresh();

  int Count() const { return static_cast<int>(parameters.size()); }
  const Parameter& At(int index) const { return parameters[static_cast<std::size_t>(index)]; }
  // Index of the parameter with this title, or -1.
  int FindTitle(const std::string& title) const;
  // Whether a user sets this parameter by its title: all but the program
  // change and hidden ones.
  static bool IsUserParameter(const Parameter& parameter);
  // Index of the user parameter with this title, or -1.
  int FindUserParameter(const std::string& title) const;
  // Index of the parameter flagged kIsProgramChange, or -1.
  int FindProgramChange() const;

  // The controller's text for a normalized value; empty when refused.
  std::string Text(Steinberg::Vst::ParamID id, double normalized) const;
  // Normalized value whose text is exactly text, among the steps of a
  // discrete parameter; false when none has it.
  bool NormalizedForText(int index, const std::string& text, double& normalized) const;
  // Normalized value for a value as a user writes it: one of the
  // parameter's value texts, else a real number in its units. False when it
  // is neither.
  bool NormalizedForValue(int index, const std::string& value, double& normalized) const;

  // Program names of the root unit's program list; empty without one.
  const std::vector<std::string>& ProgramNames() const { return programNames; }
  Steinberg::Vst::ProgramListID ProgramListId() const { return programListId; }
  // Index of a named program given by its number or its exact name, or -1.
  int FindProgram(const std::string& wanted) const;

private:
  Steinberg::Vst::IEditController* controller;
  Steinberg::Vst::IUnitInfo* units;
  std::vector<Parameter> parameters;
  std::vector<std::string> programNames;
  Steinberg::Vst::ProgramListID programListId = Steinberg::Vst::kNoProgramListId;
};

}  // namespace ThrumwellHost
