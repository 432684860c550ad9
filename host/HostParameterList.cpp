#include "host/HostParameterList.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "vst3/sdk/UString.h"

namespace ThrumwellHost
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Largest step count whose texts are searched one by one.
constexpr int32 kMaxSearchedSteps = 4096;

std::string Utf8(const String128 text)
{
  String128 terminated = {};
  strncpy16(terminated, text, 128);
  return utf16ToUtf8(terminated);
}


// Whether a value text starts with a number.
bool IsNumber(const std::string& text)
{
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end != text.c_str();
}

// Digits after the decimal point of a value text, or 0 when it is no number.
int DigitsOf(const std::string& text)
{
  const std::size_t point = text.find('.');
  if (!IsNumber(text) || point == std::string::npos)
    return 0;
  const std::size_t last = text.find_first_not_of("0123456789", point + 1);
  return static_cast<int>((last == std::string::npos ? text.size() : last) - point - 1);
}

}  // namespace

HostParameterList::HostParameterList(IEditController* editController, IUnitInfo* unitInfo)
    : controller(editController), units(unitInfo)
{
  Refresh();
}

void HostParameterList::Refresh()
{
  parameters.clear();
  programNames.clear();
  programListId = kNoProgramListId;
  if (!controller)
    return;
  for (int32 i = 0; i < controller->getParameterCount(); ++i)
  {
    Parameter p{};
    if (controller->getParameterInfo(i, p.info) != kResultOk)
      continue;
    p.title = Utf8(p.info.title);
    p.units = Utf8(p.info.units);
    parameters.push_back(p);
  }
  if (!units)
    return;
  for (int32 u = 0; u < units->getUnitCount(); ++u)
  {
    UnitInfo unit{};
    if (units->getUnitInfo(u, unit) == kResultOk && unit.id == kRootUnitId)
      programListId = unit.programListId;
  }
  for (int32 l = 0; l < units->getProgramListCount(); ++l)
  {
    ProgramListInfo list{};
    if (units->getProgramListInfo(l, list) != kResultOk || list.id != programListId)
      continue;
    for (int32 p = 0; p < list.programCount; ++p)
    {
      String128 name = {};
      programNames.push_back(units->getProgramName(list.id, p, name) == kResultOk ? Utf8(name) : std::string());
    }
  }
}

int HostParameterList::FindTitle(const std::string& title) const
{
  for (int i = 0; i < Count(); ++i)
    if (At(i).title == title)
      return i;
  return -1;
}

bool HostParameterList::IsUserParameter(const Parameter& parameter)
{
  return !(parameter.info.flags & (ParameterInfo::kIsProgramChange | ParameterInfo::kIsHidden));
}

int HostParameterList::FindUserParameter(const std::string& title) const
{
  const int index = FindTitle(title);
  return index >= 0 && IsUserParameter(At(index)) ? index : -1;
}

int HostParameterList::FindProgramChange() const
{
  for (int i = 0; i < Count(); ++i)
    if (At(i).info.flags & ParameterInfo::kIsProgramChange)
      return i;
  return -1;
}

std::string HostParameterList::Text(ParamID id, double normalized) const
{
  String128 text = {};
  if (!controller || controller->getParamStringByValue(id, normalized, text) != kResultOk)
    return std::string();
  return Utf8(text);
}

bool HostParameterList::NormalizedForText(int index, const std::string& text, double& normalized) const
{
  const ParameterInfo& info = At(index).info;
  if (info.stepCount <= 0 || info.stepCount > kMaxSearchedSteps)
    return false;
  for (int32 step = 0; step <= info.stepCount; ++step)
  {
    const double value = static_cast<double>(step) / info.stepCount;
    if (Text(info.id, value) == text)
    {
      normalized = value;
      return true;
    }
  }
  return false;
}

bool HostParameterList::NormalizedForValue(int index, const std::string& value, double& normalized) const
{
  if (NormalizedForText(index, value, normalized))
    return true;
  char* end = nullptr;
  const double plain = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !std::isfinite(plain) || !controller)
    return false;
  normalized = controller->plainParamToNormalized(At(index).info.id, plain);
  return true;
}

int HostParameterList::FindProgram(const std::string& wanted) const
{
  const int count = static_cast<int>(programNames.size());
  int index = -1;
  if (!wanted.empty() && wanted.find_first_not_of("0123456789") == std::string::npos)
  {
    // Numbers of more than four digits name no program.
    const long number = wanted.size() <= 4 ? std::strtol(wanted.c_str(), nullptr, 10) : -1;
    if (number >= 0 && number < count)
      index = static_cast<int>(number);
  }
  else
  {
    for (int i = 0; i < count && index < 0; ++i)
      if (programNames[static_cast<std::size_t>(i)] == wanted)
        index = i;
  }
  return index >= 0 && !programNames[static_cast<std::size_t>(index)].empty() ? index : -1;
}

bool HostParameterList::ProgramChange(int program, Vst::ParamID& id, double& normalized) const
{
  const int index = FindProgramChange();
  if (index < 0 || program < 0)
    return false;
  const Vst::ParameterInfo& info = At(index).info;
  const int lastProgram = info.stepCount > 0 ? info.stepCount : 1;
  id = info.id;
  normalized = static_cast<double>(program) / lastProgram;
  return true;
}

bool HostParameterList::ResolveAssignment(const std::string& assignment, Vst::ParamID& id, double& normalized,
                                          std::string& error) const
{
  const std::size_t equals = assignment.find('=');
  if (equals == std::string::npos)
  {
    error = "\"" + assignment + "\" is not NAME=VALUE";
    return false;
  }
  const std::string name = assignment.substr(0, equals);
  const std::string text = assignment.substr(equals + 1);
  const int index = FindUserParameter(name);
  if (index < 0)
  {
    error = "unknown parameter \"" + name + "\" (see --list-params)";
    return false;
  }
  id = At(index).info.id;
  if (NormalizedForValue(index, text, normalized))
    return true;
  error = "value \"" + text + "\" of \"" + name + "\" is neither a number nor one of its texts";
  return false;
}

bool HostParameterList::AddUserChoices(const std::string& program, const std::vector<std::string>& assignments,
                                       HostParameterChanges& changes, std::string& error) const
{
  Vst::ParamID id = 0;
  double normalized = 0.0;
  if (!program.empty())
  {
    if (!ProgramChange(FindProgram(program), id, normalized))
    {
      error = "unknown program \"" + program + "\" (see --list-programs)";
      return false;
    }
    changes.Add(id, 0, normalized);
  }
  for (const std::string& assignment : assignments)
  {
    if (!ResolveAssignment(assignment, id, normalized, error))
      return false;
    changes.Add(id, 0, normalized);
  }
  return true;
}

bool HostParameterList::IsEmptyProgramSlot(int index, const std::string& name)
{
  return name.empty() || name == "- " + std::to_string(index + 1) + " -";
}

void HostParameterList::PrintPrograms(std::FILE* out, bool all) const
{
  for (std::size_t i = 0; i < programNames.size(); ++i)
    if (all ? !programNames[i].empty() : !IsEmptyProgramSlot(static_cast<int>(i), programNames[i]))
      std::fprintf(out, "%zu\t%s\n", i, programNames[i].c_str());
}

void HostParameterList::PrintParameters(std::FILE* out) const
{
  for (const Parameter& p : parameters)
  {
    if (!IsUserParameter(p))
      continue;
    const ParamID id = p.info.id;
    const double normalizedDefault = p.info.defaultNormalizedValue;
    const int digits = DigitsOf(Text(id, normalizedDefault));
    std::fprintf(out, "%u\t%s\t%.*f..%.*f\t%.*f\t%s", id, p.title.c_str(), digits,
                 controller->normalizedParamToPlain(id, 0.0), digits, controller->normalizedParamToPlain(id, 1.0),
                 digits, controller->normalizedParamToPlain(id, normalizedDefault), p.units.c_str());
    // A list shows words for its steps; steps shown as numbers are no list.
    const bool isList = p.info.stepCount > 0 && !IsNumber(Text(id, 0.0));
    for (int step = 0; isList && step <= p.info.stepCount; ++step)
    {
      const double normalized = static_cast<double>(step) / p.info.stepCount;
      std::fprintf(out, "%s%.0f=%s", step == 0 ? "\t" : ", ", controller->normalizedParamToPlain(id, normalized),
                   Text(id, normalized).c_str());
    }
    std::fprintf(out, "\n");
  }
}

}  // namespace ThrumwellHost
