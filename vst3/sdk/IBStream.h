// Byte streams through which hosts exchange component and controller state.
#pragma once

#include "vst3/sdk/FUnknown.h"

namespace Steinberg {

class IBStream : public FUnknown {
public:
  enum IStreamSeekMode { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

  // Reading and writing share one cursor. The count pointers may be null.
  virtual tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
  virtual tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
  virtual tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) = 0;
  virtual tresult PLUGIN_API tell(int64* pos) = 0;

  static constexpr FUID iid{0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B};
};

class ISizeableStream : public FUnknown {
public:
  virtual tresult PLUGIN_API getStreamSize(int64& size) = 0;
  virtual tresult PLUGIN_API setStreamSize(int64 size) = 0;

  static constexpr FUID iid{0x04F9549E, 0xE02F4E6E, 0x87E86A87, 0x47F4E17F};
};

} // namespace Steinberg
