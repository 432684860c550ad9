// Fundamental types and result codes of the VST3 binary interface.
//
// Everything a host and a plug-in exchange is built from these fixed-size
// types; their sizes are the same on Windows x64 and Linux x86_64. Result
// codes are the one place where the two platforms disagree: Windows uses the
// COM HRESULT values, everything else small integers.
#pragma once

#include <cstdint>

// Interface methods carry the platform's COM calling convention. On x64 there
// is a single convention, so the attribute only matters for 32-bit Windows.
#if defined(_WIN32) && !defined(_WIN64)
#define PLUGIN_API __stdcall
#else
#define PLUGIN_API
#endif

namespace Steinberg {

using int8 = char;
using uint8 = std::uint8_t;
using uchar = unsigned char;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;
using char8 = char;
using char16 = char16_t;
using tchar = char16;
using TBool = uint8;
using TSize = int64;
using tresult = int32;
using TPtrInt = uint64;
using UCoord = int32;
using FIDString = const char8*;
using TUID = char8[16];

// Windows binaries follow COM: the same result values and interface-ID byte
// order as IUnknown. Linux and macOS binaries do not.
#if defined(_WIN32)
constexpr bool kComCompatible = true;
#else
constexpr bool kComCompatible = false;
#endif

constexpr tresult kNoInterface = kComCompatible ? static_cast<tresult>(0x80004002u) : -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = kComCompatible ? static_cast<tresult>(0x80070057u) : 2;
constexpr tresult kNotImplemented = kComCompatible ? static_cast<tresult>(0x80004001u) : 3;
constexpr tresult kInternalError = kComCompatible ? static_cast<tresult>(0x80004005u) : 4;
constexpr tresult kNotInitialized = kComCompatible ? static_cast<tresult>(0x8000FFFFu) : 5;
constexpr tresult kOutOfMemory = kComCompatible ? static_cast<tresult>(0x8007000Eu) : 6;

constexpr int32 kMaxInt32 = INT32_MAX;
constexpr int32 kMinInt32 = INT32_MIN;
constexpr uint32 kMaxInt32u = UINT32_MAX;
constexpr int64 kMaxInt64 = INT64_MAX;
constexpr int64 kMinInt64 = INT64_MIN;
constexpr uint64 kMaxInt64u = UINT64_MAX;
constexpr UCoord kMaxCoord = 0x7FFFFFFF;
constexpr UCoord kMinCoord = -0x7FFFFFFF;

} // namespace Steinberg
