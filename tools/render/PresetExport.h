#pragma once
// The factory programs of a plug-in as .vstpreset files, one per program,
// in folders by family, as hosts browse them:
//
//   DIR/Binaural/Binaural - 7.83 (Schumann Resonance).vstpreset
//   DIR/Higher frequencies.vstpreset
//
// A program's family is the first word of its name before the first " - "
// ("Binaural", "Healing", "Solfeggio"), when at least two programs share it;
// other programs stay at the top. Characters hosts forbid in file names are
// replaced by '_'.

#include <string>
#include <vector>

#include "host/HostModule.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"

// NAME with \ * ? / : < > | and " replaced by '_'.
std::string PresetFileStem(const std::string& name);

// The family folder of each name ("" for the top), by the rule above.
std::vector<std::string> PresetFamilies(const std::vector<std::string>& names);

// Selects every program after the default one (slot 0) that is not empty
// through the program-change parameter, saves the component state and writes
// it with its meta information into dir. plugin must be active and
// processing. Each file is written whole under a temporary name and then
// given its own, so none is left half written. False with one line in error
// when a file cannot be written or the plug-in fails; false with error empty
// when a stop was requested (StopRequest.h), which is looked at between
// files. written counts the files.
bool ExportPresets(ThrumwellHost::HostPlugin& plugin, const ThrumwellHost::HostParameterList& params,
                   const ThrumwellHost::HostClassInfo& info, const std::string& dir, int& written,
                   std::string& error);
