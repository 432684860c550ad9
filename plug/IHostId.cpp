#include "plug/IHostId.h"

#include <cstring>

namespace
{
struct HostKey
{
  const char* key;
  IHostId id;
};

// Searched in this order: a name holding several keys takes the first.
constexpr HostKey kHostKeys[] = {
  {"dromelkast", 29}, {"cubase", 3},     {"reaper", 1},     {"nuendo", 4},      {"cakewalk", 5},
  {"samplitude", 8},  {"fruity", 7},     {"live", 9},       {"melodyne", 12},   {"vstmanlib", 13},
  {"aulab", 14},      {"forte", 15},     {"chainer", 16},   {"audition", 17},   {"orion", 18},
  {"sawstudio", 20},  {"logic", 21},     {"digital", 22},   {"audiomulch", 23}, {"presonus", 24},
  {"acoustica", 25},  {"garageband", 26}, {"ardour", 27},   {"wavelab", 28},    {"gold", 30},
};

constexpr int kMaxNameLength = 255;
}

IHostId IdentifyHost(const char* name)
{
  if (!name)
    return kHostUnknown;
  char lower[kMaxNameLength + 1];
  int n = 0;
  for (; n < kMaxNameLength && name[n]; ++n)
  {
    const char c = name[n];
    lower[n] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  lower[n] = 0;
  for (const HostKey& k : kHostKeys)
  {
    if (std::strstr(lower, k.key))
      return k.id;
  }
  return kHostUnknown;
}
