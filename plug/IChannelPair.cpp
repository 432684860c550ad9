#include "plug/IChannelPair.h"


namespace
{
// Reads a decimal number at *p (optional sign), advancing past it; 0 when
// there is none. Values too large for a channel count are held at 1024.
int ReadCount(const char*& p)
{
  bool negative = false;
  if (*p == '-' || *p == '+')
  {
    negative = *p == '-';
    ++p;
  }
  long n = 0;
  while (*p >= '0' && *p <= '9')
  {
    if (n < 1024)
      n = n * 10 + (*p - '0');
    ++p;
  }
  if (n > 1024)
    n = 1024;
  return negative ? 0 : static_cast<int>(n);
}
}

std::vector<IChannelPair> ParseChannelString(const char* channels)
{
  std::vector<IChannelPair> pairs;
  if (!channels)
    return pairs;
  const char* p = channels;
  while (*p)
  {
    IChannelPair pair;
    pair.inputs = ReadCount(p);
    if (*p == '-')
    {
      ++p;
      pair.outputs = ReadCount(p);
    }
    pairs.push_back(pair);
    while (*p && *p != ' ')
      ++p;
    if (*p == ' ')
      ++p;
  }
  return pairs;
}
