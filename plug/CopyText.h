#pragma once

// Copies src into a fixed text field of size bytes: at most size - 1
// characters, always terminated; a null src copies as "".
inline void CopyText(char* dest, const char* src, int size)
{
  int i = 0;
  if (src)
  {
    for (; i < size - 1 && src[i]; ++i)
      dest[i] = src[i];
  }
  dest[i] = 0;
}
