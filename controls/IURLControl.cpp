#include "controls/IURLControl.h"

#include <cstring>

#include "graphics/IGraphics.h"

namespace
{
template <size_t N> void CopyText(char (&to)[N], const char* from)
{
  if (!from || !*from) return;
  std::strncpy(to, from, N - 1);
  to[N - 1] = '\0';
}
}  // namespace

IURLControl::IURLControl(IPlugBase* plugIn, const IBounds& b, const char* first, const char* second,
                         const char* text)
  : IControl(plugIn, b)
{
  CopyText(address, first);
  CopyText(fallback, second);
  CopyText(caption, text);
}

void IURLControl::PressAt(int, int, const IPointerMods&)
{
  IGraphics* g = Editor();
  if (!g) return;
  if (*address && g->OpenLink(address, caption, nullptr, nullptr)) return;
  if (*fallback) g->OpenLink(fallback, caption, nullptr, nullptr);
}
