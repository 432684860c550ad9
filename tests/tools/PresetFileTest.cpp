// The factory programs as .vstpreset files: exported by the renderer, laid
// out in folders as hosts browse them, loaded back the way hosts load them
// (class ID check, the "Comp" chunk into setState) through our host, and
// one file checked byte for byte against a hand-written copy.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "host/HostModule.h"
#include "host/HostParameterChanges.h"
#include "host/HostParameterList.h"
#include "host/HostPlugin.h"
#include "host/HostPresetFile.h"
#include "tests/tools/RunProgram.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;
namespace fs = std::filesystem;

const char* kFolder = "preset-file-test";
const char* kListing = "preset-file-test.out";
const char* kErrors = "preset-file-test.err";
const char* kWav = "preset-file-test.wav";

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Escaped(const std::string& text)
{
  std::string out;
  for (char c : text)
    out += c == '&' ? std::string("&amp;") : c == '\'' ? std::string("&apos;") : std::string(1, c);
  return out;
}

// The twelve values an instance holds, in the parameters' own units.
std::vector<double> Values(HostPlugin& plugin, const HostParameterList& params)
{
  std::vector<double> values;
  IEditController* controller = plugin.Controller();
  for (int i = 0; i < params.Count(); ++i)
    if (HostParameterList::IsUserParameter(params.At(i)))
    {
      const ParamID id = params.At(i).info.id;
      values.push_back(controller->normalizedParamToPlain(id, controller->getParamNormalized(id)));
    }
  return values;
}

class PresetFiles : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    const char* render = std::getenv("THRUMWELL_RENDER");
    const char* bundle = std::getenv("THRUMWELL_BUNDLE");
    ASSERT_NE(render, nullptr) << "THRUMWELL_RENDER names the renderer";
    ASSERT_NE(bundle, nullptr) << "THRUMWELL_BUNDLE names the bundle";
    renderer = render;
    bundlePath = bundle;
    fs::remove_all(kFolder);
    ASSERT_EQ(RunProgram(renderer, {"--export-presets", kFolder}, kListing, kErrors), 0);
  }
  static void TearDownTestSuite()
  {
    fs::remove_all(kFolder);
    std::remove(kListing);
    std::remove(kErrors);
    std::remove(kWav);
  }

  static std::string renderer;
  static std::string bundlePath;
};

std::string PresetFiles::renderer;
std::string PresetFiles::bundlePath;

}  // namespace

TEST_F(PresetFiles, EveryFactoryProgramComesBackAsHostsLoadIt)
{
  HostModule module;
  ASSERT_TRUE(module.Load(bundlePath)) << module.Error();
  HostClassInfo info;
  ASSERT_TRUE(module.GetClass(module.FindClass(kVstAudioEffectClass), info));
  const std::string classId = HostPresetFile::ClassIdText(info.cid);
  EXPECT_EQ(classId, "F2AEE70D00DE4F4E5176726B337A626F");

  // The reference: each program selected through the program-change
  // parameter, as a host selects it.
  HostPlugin reference(module);
  ASSERT_TRUE(reference.Create());
  const HostParameterList params(reference.Controller(), reference.Units());
  reference.ActivateDefaultBuses();
  reference.SetupProcessing(48000, 512);
  reference.SetActive(true);
  reference.SetProcessing(true);
  const ParameterInfo& programInfo = params.At(params.FindProgramChange()).info;
  std::map<std::string, std::vector<double>> expected;
  for (int program = 1; program <= 125; ++program)
  {
    HostParameterChanges changes;
    changes.Add(programInfo.id, 0, static_cast<double>(program) / programInfo.stepCount);
    ASSERT_TRUE(reference.Process(0, &changes));
    expected[params.ProgramNames()[static_cast<std::size_t>(program)]] = Values(reference, params);
  }

  HostPlugin loaded(module);
  ASSERT_TRUE(loaded.Create());
  int files = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kFolder))
  {
    if (!entry.is_regular_file())
      continue;
    ++files;
    const std::string where = entry.path().generic_u8string();
    SCOPED_TRACE(where);
    EXPECT_EQ(entry.path().extension(), ".vstpreset");
    const std::vector<std::uint8_t> bytes = ReadFile(entry.path());
    HostPresetFile preset;
    std::string error;
    ASSERT_TRUE(preset.Parse(bytes, error)) << error;
    const HostPresetFile::Chunk* infoChunk = preset.Find("Info");
    ASSERT_NE(infoChunk, nullptr);
    const std::string xml(bytes.begin() + static_cast<std::ptrdiff_t>(infoChunk->offset),
                          bytes.begin() + static_cast<std::ptrdiff_t>(infoChunk->offset + infoChunk->size));
    // The preset's name is its program's, which gives the values to expect.
    const std::string key = "<Attr id=\"Name\" value=\"";
    const std::size_t at = xml.find(key);
    ASSERT_NE(at, std::string::npos) << xml;
    std::string name;
    for (const auto& [program, values] : expected)
      if (xml.compare(at + key.size(), Escaped(program).size() + 1, Escaped(program) + "\"") == 0)
        name = program;
    ASSERT_FALSE(name.empty()) << xml;
    EXPECT_NE(xml.find("<Attr id=\"PlugInName\" value=\"Thrumwell\""), std::string::npos);

    ASSERT_TRUE(preset.LoadInto(loaded, bytes, classId, error)) << error;
    EXPECT_EQ(Values(loaded, params), expected[name]) << name;
    expected.erase(name);
  }
  EXPECT_EQ(files, 125);
  EXPECT_TRUE(expected.empty());
  EXPECT_TRUE(loaded.Violations().empty());
  loaded.Destroy();
  reference.Destroy();
}

TEST_F(PresetFiles, LieInFoldersByFamilyUnderNamesHostsAccept)
{
  const char* paths[] = {
    "Higher frequencies.vstpreset",
    "Left - Right reverse.vstpreset",
    "Square waves - by note.vstpreset",
    "Binaural/Binaural - 7.83 (Schumann Resonance).vstpreset",
    "Binaural/Binaural - 3.84 (Associated with the liver_pancreas).vstpreset",
    "Binaural/Binaural - 126.22 (Sun_ light, warmth, joy, animus).vstpreset",
    "Healing/Healing - 586 Hz (Circulation  & sex).vstpreset",
    "Solfeggio/Solfeggio UT - 396 Hz (Turning grief into joy, liberating Guilt and Fear).vstpreset",
    "Solfeggio/Solfeggio - 174 Hz (Natural anaesthetic, reduce pain).vstpreset",
  };
  for (const char* path : paths)
    EXPECT_TRUE(fs::is_regular_file(fs::path(kFolder) / fs::u8path(path))) << path;
  std::map<std::string, int> perFolder;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kFolder))
    if (entry.is_regular_file())
      ++perFolder[entry.path().parent_path().filename().u8string()];
  EXPECT_EQ(perFolder, (std::map<std::string, int>{{kFolder, 8}, {"Binaural", 90}, {"Healing", 18}, {"Solfeggio", 9}}));
}

TEST_F(PresetFiles, OneFileByteForByte)
{
  // Written out by hand from the file format and the program's values.
  std::vector<std::uint8_t> file;
  auto text = [&file](const std::string& t) { file.insert(file.end(), t.begin(), t.end()); };
  auto integer = [&file](std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const std::string info = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                           "<MetaInfo>\n"
                           "  <Attr id=\"MediaType\" value=\"VstPreset\" type=\"string\" flags=\"writeProtected\"/>\n"
                           "  <Attr id=\"PlugInName\" value=\"Thrumwell\" type=\"string\" flags=\"writeProtected\"/>\n"
                           "  <Attr id=\"PlugInCategory\" value=\"Instrument\" type=\"string\" flags=\"writeProtected\"/>\n"
                           "  <Attr id=\"Name\" value=\"Healing - 586 Hz (Circulation  &amp; sex)\" type=\"string\" "
                           "flags=\"writeProtected\"/>\n"
                           "</MetaInfo>\n";
  text("VST3");
  integer(1, 4);
  text("F2AEE70D00DE4F4E5176726B337A626F");
  integer(48 + 96 + info.size(), 8);
  // Frequency, Binaural, Tuning Freq, Wave, Beats, Pan Reverse, Attack,
  // Release, Fade, Volume, Mode, Center Freq.
  for (double value : {586.0, 0.0, 440.0, 0.0, 0.0, 0.0, 800.0, 500.0, 1000.0, 90.0, 0.0, 1.0})
  {
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    integer(bits, 8);
  }
  text(info);
  text("List");
  integer(2, 4);
  text("Comp");
  integer(48, 8);
  integer(96, 8);
  text("Info");
  integer(48 + 96, 8);
  integer(info.size(), 8);

  EXPECT_EQ(ReadFile(fs::path(kFolder) / "Healing" / "Healing - 586 Hz (Circulation  & sex).vstpreset"), file);
}

TEST_F(PresetFiles, TheRendererPlaysAPresetFileAndRefusesAForeignOne)
{
  const fs::path preset = fs::path(kFolder) / "Binaural" / "Binaural - 7.83 (Schumann Resonance).vstpreset";
  ASSERT_EQ(RunProgram(renderer, {"-o", kWav, "--state-in", preset.u8string(), "--seconds", "0.2", "--rate", "8000"},
                       kListing, kErrors),
            0);
  const std::vector<std::uint8_t> fromPreset = ReadFile(kWav);
  ASSERT_EQ(RunProgram(renderer, {"-o", kWav, "--program", "83", "--seconds", "0.2", "--rate", "8000"}, kListing,
                       kErrors),
            0);
  EXPECT_EQ(ReadFile(kWav), fromPreset);

  // The same file made for another class is refused before anything is written.
  std::vector<std::uint8_t> foreign = ReadFile(preset);
  foreign[8] = 'E';
  const char* foreignPath = "preset-file-test-foreign.vstpreset";
  std::ofstream(foreignPath, std::ios::binary).write(reinterpret_cast<const char*>(foreign.data()),
                                                      static_cast<std::streamsize>(foreign.size()));
  std::remove(kWav);
  EXPECT_EQ(RunProgram(renderer, {"-o", kWav, "--state-in", foreignPath}, kListing, kErrors), 2);
  const std::vector<std::uint8_t> message = ReadFile(kErrors);
  EXPECT_NE(std::string(message.begin(), message.end()).find("made for another plug-in"), std::string::npos);
  EXPECT_TRUE(ReadFile(kWav).empty());
  std::remove(foreignPath);
}

TEST_F(PresetFiles, DamagedFilesAreRefusedWithAReason)
{
  const std::vector<std::uint8_t> good =
    ReadFile(fs::path(kFolder) / "Binaural" / "Binaural - 7.83 (Schumann Resonance).vstpreset");
  ASSERT_GT(good.size(), 200u);
  const std::size_t list = good.size() - 8 - 2 * 20;
  auto with = [&good](std::size_t at, std::vector<std::uint8_t> bytes) {
    std::vector<std::uint8_t> file = good;
    for (std::size_t i = 0; i < bytes.size(); ++i)
      file[at + i] = bytes[i];
    return file;
  };
  const struct
  {
    const char* what;
    std::vector<std::uint8_t> bytes;
    const char* error;
  } rows[] = {
    {"empty", {}, "not a VST3 preset file (no \"VST3\" header)"},
    {"header only", std::vector<std::uint8_t>(good.begin(), good.begin() + 40), "not a VST3 preset file (no \"VST3\" header)"},
    {"raw state", std::vector<std::uint8_t>(good.begin() + 48, good.begin() + 144), "not a VST3 preset file (no \"VST3\" header)"},
    {"list offset 0", with(40, {0, 0, 0, 0, 0, 0, 0, 0}), "the preset file's chunk list is missing"},
    {"list offset past the end", with(40, {0xFF, 0xFF, 0, 0, 0, 0, 0, 0}), "the preset file's chunk list is missing"},
    {"list offset at the last byte", with(40, {static_cast<std::uint8_t>((good.size() - 1) & 0xFF), static_cast<std::uint8_t>((good.size() - 1) >> 8), 0, 0, 0, 0, 0, 0}),
     "the preset file's chunk list is missing"},
    {"no list id", with(list, {'L', 'o', 's', 't'}), "the preset file's chunk list is missing"},
    {"negative count", with(list + 4, {0xFF, 0xFF, 0xFF, 0xFF}), "the preset file's chunk list is damaged"},
    {"count beyond the list", with(list + 4, {3, 0, 0, 0}), "the preset file's chunk list is damaged"},
    {"chunk past the end", with(list + 8 + 12, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
     "the preset file's chunk \"Comp\" lies outside the file"},
    {"chunk offset past the end", with(list + 8 + 4, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
     "the preset file's chunk \"Comp\" lies outside the file"},
  };
  for (const auto& row : rows)
  {
    HostPresetFile preset;
    std::string error;
    EXPECT_FALSE(preset.Parse(row.bytes, error)) << row.what;
    EXPECT_EQ(error, row.error) << row.what;
  }
  HostPresetFile preset;
  std::string error;
  EXPECT_TRUE(preset.Parse(good, error)) << error;
  EXPECT_TRUE(preset.MadeFor("F2AEE70D00DE4F4E5176726B337A626F", error));
  EXPECT_FALSE(preset.MadeFor("F2AEE70D00DE4F4E5176726B337A626E", error));
  EXPECT_EQ(error, "the preset was made for another plug-in (class F2AEE70D00DE4F4E5176726B337A626F, not "
                   "F2AEE70D00DE4F4E5176726B337A626E)");
}
