#include "raster/LICE_Utf8.h"

namespace
{
bool IsContinuation(unsigned char b)
{
  return b >= 0x80 && b <= 0xC0;
}

// True when the `wanted` bytes after the lead byte exist and are all continuation bytes.
bool HasContinuations(const unsigned char* text, int available, int wanted)
{
  if (available <= wanted)
    return false;
  for (int i = 1; i <= wanted; ++i)
  {
    if (!IsContinuation(text[i]))
      return false;
  }
  return true;
}
}  // namespace

int LICE_NextUtf8Unit(const char* text, int available, int* consumed)
{
  int used = 0;
  int unit = 0;
  if (text && available > 0)
  {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = p[0];
    used = 1;
    unit = lead;
    if (lead >= 0xC2 && lead <= 0xDF && HasContinuations(p, available, 1))
    {
      unit = ((lead & 0x1F) << 6) | (p[1] & 0x3F);
      used = 2;
    }
    else if (lead >= 0xE0 && lead <= 0xEF && HasContinuations(p, available, 2))
    {
      unit = ((lead << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F)) & 0xFFFF;
      used = 3;
    }
    else if (lead >= 0xF0 && lead <= 0xF4 && HasContinuations(p, available, 3))
    {
      unit = ' ';
      used = 4;
    }
  }
  if (consumed)
    *consumed = used;
  return unit;
}

bool LICE_HasUtf8Sequences(const char* text, int length)
{
  if (!text)
    return false;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  for (int i = 0; i < length; ++i)
  {
    const unsigned char lead = p[i];
    if (lead < 0xC2 || lead > 0xF4)
      continue;
    const int wanted = lead < 0xE0 ? 1 : 2;
    if (i + wanted >= length)
      continue;
    bool all = true;
    for (int k = 1; k <= wanted; ++k)
      all = all && p[i + k] >= 0x80 && p[i + k] <= 0xBF;
    if (all)
      return true;
  }
  return false;
}
