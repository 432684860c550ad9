#pragma once

#include <cstdint>
#include <vector>

// A growable byte buffer into which values are appended and from which they
// are read back by position. Capacity grows in steps of 4096 bytes. Doubles
// are stored as IEEE 754 little-endian, whatever the machine.
class IDataBlob
{
public:
  static constexpr int kGrowthStep = 4096;

  // Appends count bytes; false (and nothing appended) when count is negative,
  // data is missing for a non-zero count, or memory runs out.
  bool AppendBytes(const void* data, int count);
  bool AppendDouble(double x);

  // Reads the double at position into *x and returns position + 8, or returns
  // -1 and leaves *x untouched when fewer than 8 bytes remain there.
  int ReadDouble(double* x, int position) const;

  int Size() const { return static_cast<int>(bytes.size()); }
  const unsigned char* Data() const { return bytes.data(); }
  void Clear() { bytes.clear(); }

private:
  std::vector<unsigned char> bytes;
};
