#pragma once
// What a host reads of a plug-in's controller to show and automate it: the
// parameter list with titles, units, steps, defaults and flags, the texts of
// values, and the program names of the root unit's program list. Read once;
// Refresh after the plug-in reports changed titles.

#include <cstdio>
#include <string>
#include <vector>

#include "host/HostParameterChanges.h"
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

  // What a host sends to choose a program: the program-change parameter's ID
  // and the normalized value of the program's index. False without one.
  bool ProgramChange(int program, Steinberg::Vst::ParamID& id, double& normalized) const;
  // Resolves "NAME=VALUE" (a user parameter's title, then one of its value
  // texts or a number in its units) to an ID and a normalized value; false
  // with one line of explanation in error otherwise.
  bool ResolveAssignment(const std::string& assignment, Steinberg::Vst::ParamID& id, double& normalized,
                         std::string& error) const;
  // Listings for a user, one line each: "INDEX<tab>NAME" per named program;
  // per user parameter its ID, title, range and default in its units (at the
  // precision of its own value texts), units, and the texts of a list.
  // One line per program, "NUMBER<TAB>NAME"; the empty slots only with all.
  void PrintPrograms(std::FILE* out, bool all = false) const;
  // Whether a program-list slot is an empty one: the plug-in names its free
  // slots "- N -" with N the slot's number from 1.
  static bool IsEmptyProgramSlot(int index, const std::string& name);
  void PrintParameters(std::FILE* out) const;
  // A user's choices as the changes of one block: the program (a number or
  // name; empty for none), then each "NAME=VALUE" in order. False with one
  // line of explanation in error when a name or value is unknown.
  bool AddUserChoices(const std::string& program, const std::vector<std::string>& assignments,
                      HostParameterChanges& changes, std::string& error) const;

private:
  Steinberg::Vst::IEditController* controller;
  Steinberg::Vst::IUnitInfo* units;
  std::vector<Parameter> parameters;
  std::vector<std::string> programNames;
  Steinberg::Vst::ProgramListID programListId = Steinberg::Vst::kNoProgramListId;
};

}  // namespace ThrumwellHost
