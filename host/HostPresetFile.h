#pragma once
// VST3 preset files (.vstpreset): reading them the way hosts do and writing
// them the way hosts expect.
//
// Layout, every integer little-endian: "VST3", int32 version 1, the class ID
// as 32 upper-case hex digits, int64 offset of the chunk list; then the
// chunks' data; then the list: "List", int32 count, and per chunk a 4-byte
// id, int64 offset and int64 size. Chunks: "Comp" (the component state as
// getState wrote it), "Info" (XML meta information), optionally "Cont".

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/HostPlugin.h"

namespace ThrumwellHost
{

class HostPresetFile
{
public:
  struct Chunk
  {
    std::string id;  // four characters
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
  };

  // The class ID as a preset file spells it: the four words in order, 32
  // upper-case hex digits, the same text on every platform.
  static std::string ClassIdText(const std::array<std::uint8_t, 16>& cid);
  // Whether bytes start like a preset file (and not like a raw state).
  static bool LooksLikePreset(const std::vector<std::uint8_t>& bytes);

  // A whole file: the header with classId, the component state as "Comp",
  // info (when not empty) as "Info", and the chunk list.
  static std::vector<std::uint8_t> Build(const std::string& classId, const std::vector<std::uint8_t>& component,
                                         const std::string& info);
  // The meta information naming a preset and its plug-in; texts are escaped.
  static std::string InfoXml(const std::string& pluginName, const std::string& category,
                             const std::string& presetName);

  // Reads the header and the chunk list (at most 128 entries, each inside
  // the file). False with one line in error for anything else.
  bool Parse(const std::vector<std::uint8_t>& bytes, std::string& error);
  const std::string& ClassId() const { return classId; }
  const std::vector<Chunk>& Chunks() const { return chunks; }
  // The chunk with this id, or null.
  const Chunk* Find(const char* id) const;

  // Whether the parsed file was made for the class classId; false with the
  // reason in error.
  bool MadeFor(const std::string& classId, std::string& error) const;

  // Loads a parsed file's bytes into plugin as hosts do: refuses a file made
  // for another class than expectedClassId (MadeFor), hands the "Comp" chunk to the
  // component's setState and the controller's setComponentState (a stream
  // that starts at the chunk, positioned there, and ends after it), then a
  // "Cont" chunk to the controller's setState. False with error when the file
  // is refused or the component refuses its state.
  bool LoadInto(HostPlugin& plugin, const std::vector<std::uint8_t>& bytes, const std::string& expectedClassId,
                std::string& error) const;

private:
  std::string classId;
  std::vector<Chunk> chunks;
};

}  // namespace ThrumwellHost
