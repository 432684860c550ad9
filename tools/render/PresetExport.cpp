#include "tools/render/PresetExport.h"

#include <filesystem>
#include <map>

#include "host/HostParameterChanges.h"
#include "host/HostPresetFile.h"
#include "host/HostStateFile.h"
#include "host/HostUtf8.h"
#include "tools/cli/StopRequest.h"

using namespace ThrumwellHost;

std::string PresetFileStem(const std::string& name)
{
  std::string stem = name;
  for (char& c : stem)
    if (std::string("\\*?/:<>|\"").find(c) != std::string::npos)
      c = '_';
  return stem;
}

std::vector<std::string> PresetFamilies(const std::vector<std::string>& names)
{
  std::vector<std::string> families;
  std::map<std::string, int> members;
  for (const std::string& name : names)
  {
    const std::size_t dash = name.find(" - ");
    std::string family = dash == std::string::npos ? std::string() : name.substr(0, dash);
    family = family.substr(0, family.find(' '));
    families.push_back(family);
    ++members[family];
  }
  for (std::string& family : families)
    if (members[family] < 2)
      family.clear();
  return families;
}

bool ExportPresets(HostPlugin& plugin, const HostParameterList& params, const HostClassInfo& info,
                   const std::string& dir, int& written, std::string& error)
{
  written = 0;
  const int programParam = params.FindProgramChange();
  if (programParam < 0)
  {
    error = "the plug-in has no program list";
    return false;
  }
  const Steinberg::Vst::ParameterInfo& programInfo = params.At(programParam).info;
  const int lastProgram = programInfo.stepCount > 0 ? programInfo.stepCount : 1;

  std::vector<int> programs;
  std::vector<std::string> names;
  const std::vector<std::string>& all = params.ProgramNames();
  for (int i = 1; i < static_cast<int>(all.size()); ++i)
    if (!HostParameterList::IsEmptyProgramSlot(i, all[static_cast<std::size_t>(i)]))
    {
      programs.push_back(i);
      names.push_back(all[static_cast<std::size_t>(i)]);
    }
  const std::vector<std::string> families = PresetFamilies(names);
  const std::string classId = HostPresetFile::ClassIdText(info.cid);
  // The class's first sub-category names its kind ("Instrument").
  const std::string category = info.subCategories.substr(0, info.subCategories.find('|'));

  HostParameterChanges changes;
  for (std::size_t p = 0; p < programs.size(); ++p)
  {
    if (ThrumwellCli::StopRequested())
    {
      error.clear();
      return false;
    }
    changes.Clear();
    changes.Add(programInfo.id, 0, static_cast<double>(programs[p]) / lastProgram);
    std::vector<std::uint8_t> state;
    if (!plugin.Process(0, &changes) || !plugin.GetState(state))
    {
      error = "the plug-in failed to give the state of program " + std::to_string(programs[p]);
      return false;
    }
    namespace fs = std::filesystem;
    fs::path folder = ThrumwellHost::PathFromUtf8(dir);
    if (!families[p].empty())
      folder /= ThrumwellHost::PathFromUtf8(PresetFileStem(families[p]));
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    const fs::path file = folder / ThrumwellHost::PathFromUtf8(PresetFileStem(names[p]) + ".vstpreset");
    const std::vector<std::uint8_t> bytes =
      HostPresetFile::Build(classId, state, HostPresetFile::InfoXml(info.name, category.empty() ? "Instrument" : category, names[p]));
    if (!WriteStateFile(file, bytes))
    {
      error = "cannot write \"" + file.u8string() + "\"";
      return false;
    }
    ++written;
  }
  return true;
}
