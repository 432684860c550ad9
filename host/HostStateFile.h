#pragma once
// Component state kept in a file, as the tools' --state-in and --state-out
// and the player's remembered settings keep it: the bytes of getState,
// unchanged. Writing goes to a temporary file beside the target that then
// replaces it, so an interrupted save never leaves a truncated state behind.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace ThrumwellHost
{

bool ReadStateFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);
bool WriteStateFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace ThrumwellHost
