#include "host/HostPresetFile.h"

#include <cstdio>
#include <cstring>

#include "host/HostMemoryStream.h"
#include "vst3/sdk/FUID.h"

namespace ThrumwellHost
{

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr std::size_t kHeaderBytes = 48;
constexpr std::size_t kClassIdBytes = 32;
constexpr std::size_t kEntryBytes = 20;
constexpr std::int32_t kFormatVersion = 1;
// Hosts read no more entries than this.
constexpr std::int32_t kMaxEntries = 128;

void PutLE(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t GetLE(const std::vector<std::uint8_t>& in, std::size_t at, int bytes)
{
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= static_cast<std::uint64_t>(in[at + static_cast<std::size_t>(i)]) << (8 * i);
  return value;
}

std::string Escaped(const std::string& text)
{
  std::string out;
  for (char c : text)
  {
    switch (c)
    {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string HostPresetFile::ClassIdText(const std::array<std::uint8_t, 16>& cid)
{
  char text[33] = {};
  FUID::fromTUID(reinterpret_cast<const char8*>(cid.data())).toString(text);
  return text;
}

bool HostPresetFile::LooksLikePreset(const std::vector<std::uint8_t>& bytes)
{
  return bytes.size() >= 4 && std::memcmp(bytes.data(), "VST3", 4) == 0;
}

std::vector<std::uint8_t> HostPresetFile::Build(const std::string& id, const std::vector<std::uint8_t>& component,
                                                const std::string& info)
{
  std::vector<std::uint8_t> out;
  out.insert(out.end(), {'V', 'S', 'T', '3'});
  PutLE(out, kFormatVersion, 4);
  std::string digits = id;
  digits.resize(kClassIdBytes, '0');
  out.insert(out.end(), digits.begin(), digits.end());
  const std::size_t listOffsetAt = out.size();
  PutLE(out, 0, 8);

  std::vector<Chunk> written;
  written.push_back({"Comp", out.size(), component.size()});
  out.insert(out.end(), component.begin(), component.end());
  if (!info.empty())
  {
    written.push_back({"Info", out.size(), info.size()});
    out.insert(out.end(), info.begin(), info.end());
  }

  const std::uint64_t listOffset = out.size();
  for (int i = 0; i < 8; ++i)
    out[listOffsetAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(listOffset >> (8 * i));
  out.insert(out.end(), {'L', 'i', 's', 't'});
  PutLE(out, written.size(), 4);
  for (const Chunk& chunk : written)
  {
    out.insert(out.end(), chunk.id.begin(), chunk.id.end());
    PutLE(out, chunk.offset, 8);
    PutLE(out, chunk.size, 8);
  }
  return out;
}

std::string HostPresetFile::InfoXml(const std::string& pluginName, const std::string& category,
                                    const std::string& presetName)
{
  auto attr = [](const char* id, const std::string& value) {
    return "  <Attr id=\"" + std::string(id) + "\" value=\"" + Escaped(value)
           + "\" type=\"string\" flags=\"writeProtected\"/>\n";
  };
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<MetaInfo>\n" + attr("MediaType", "VstPreset")
         + attr("PlugInName", pluginName) + attr("PlugInCategory", category) + attr("Name", presetName)
         + "</MetaInfo>\n";
}

bool HostPresetFile::Parse(const std::vector<std::uint8_t>& bytes, std::string& error)
{
  classId.clear();
  chunks.clear();
  if (bytes.size() < kHeaderBytes || !LooksLikePreset(bytes))
  {
    error = "not a VST3 preset file (no \"VST3\" header)";
    return false;
  }
  classId.assign(bytes.begin() + 8, bytes.begin() + 8 + kClassIdBytes);
  const std::uint64_t listOffset = GetLE(bytes, 40, 8);
  if (listOffset == 0 || listOffset > bytes.size() || bytes.size() - listOffset < 8
      || std::memcmp(bytes.data() + listOffset, "List", 4) != 0)
  {
    error = "the preset file's chunk list is missing";
    return false;
  }
  const std::int32_t count = static_cast<std::int32_t>(GetLE(bytes, listOffset + 4, 4));
  if (count < 0 || count > kMaxEntries
      || (bytes.size() - listOffset - 8) / kEntryBytes < static_cast<std::uint64_t>(count))
  {
    error = "the preset file's chunk list is damaged";
    return false;
  }
  for (std::int32_t i = 0; i < count; ++i)
  {
    const std::size_t at = static_cast<std::size_t>(listOffset) + 8 + kEntryBytes * static_cast<std::size_t>(i);
    Chunk chunk;
    chunk.id.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at) + 4);
    chunk.offset = GetLE(bytes, at + 4, 8);
    chunk.size = GetLE(bytes, at + 12, 8);
    if (chunk.offset > bytes.size() || chunk.size > bytes.size() - chunk.offset)
    {
      error = "the preset file's chunk \"" + chunk.id + "\" lies outside the file";
      return false;
    }
    chunks.push_back(chunk);
  }
  return true;
}

const HostPresetFile::Chunk* HostPresetFile::Find(const char* id) const
{
  for (const Chunk& chunk : chunks)
    if (chunk.id == id)
      return &chunk;
  return nullptr;
}

bool HostPresetFile::MadeFor(const std::string& expectedClassId, std::string& error) const
{
  if (classId == expectedClassId)
    return true;
  error = "the preset was made for another plug-in (class " + classId + ", not " + expectedClassId + ")";
  return false;
}

bool HostPresetFile::LoadInto(HostPlugin& plugin, const std::vector<std::uint8_t>& bytes,
                              const std::string& expectedClassId, std::string& error) const
{
  if (!MadeFor(expectedClassId, error))
    return false;
  const Chunk* component = Find("Comp");
  if (!component)
  {
    error = "the preset file holds no component state";
    return false;
  }
  // A stream over the file up to the end of the chunk, standing at its start.
  auto window = [&bytes](const Chunk& chunk) {
    return std::vector<std::uint8_t>(bytes.begin(),
                                     bytes.begin() + static_cast<std::ptrdiff_t>(chunk.offset + chunk.size));
  };
  auto give = [&plugin](const std::vector<std::uint8_t>& content, std::uint64_t start, auto call,
                        const char* name) {
    HostMemoryStream stream(content);
    stream.seek(static_cast<int64>(start), IBStream::kIBSeekSet, nullptr);
    const tresult result = call(&stream);
    if (stream.References() != 0 || stream.OverReleases() != 0)
      plugin.Violation(std::string(name) + " kept or over-released the stream");
    return result;
  };

  const std::vector<std::uint8_t> comp = window(*component);
  if (give(comp, component->offset, [&](IBStream* s) { return plugin.Component()->setState(s); }, "setState")
      != kResultOk)
  {
    error = "the plug-in refused the preset's component state";
    return false;
  }
  give(comp, component->offset, [&](IBStream* s) { return plugin.Controller()->setComponentState(s); },
       "setComponentState");
  if (const Chunk* controller = Find("Cont"))
    give(window(*controller), controller->offset, [&](IBStream* s) { return plugin.Controller()->setState(s); },
         "setState (controller)");
  return true;
}

}  // namespace ThrumwellHost
