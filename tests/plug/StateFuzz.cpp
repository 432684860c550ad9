// Feeds arbitrary bytes to everything in the plug-in core that reads outside
// input: a host state, normalized values, display formatting, host names and
// channel strings. Whatever the bytes, parameters stay finite and inside their
// ranges and texts stay inside their buffers.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plug/IChannelPair.h"
#include "plug/IHostId.h"
#include "tests/plug/TestPlug.h"

namespace
{
void Require(bool ok)
{
  if (!ok)
    std::abort();
}

void RequireInRange(const IParamDef& p)
{
  const double v = p.GetValue();
  Require(std::isfinite(v) && v >= p.GetMin() && v <= p.GetMax());
}

void RequireFormatted(const IParamDef& p, double x, bool normalized)
{
  char text[IParamDef::kFormatSize + 1];
  text[IParamDef::kFormatSize] = 'X';
  p.FormatForHost(x, normalized, text);
  Require(text[IParamDef::kFormatSize] == 'X' && std::strlen(text) < IParamDef::kFormatSize);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  IDataBlob blob;
  blob.AppendBytes(data, static_cast<int>(size));

  TestPlug plug;
  const int position = size > 0 ? data[0] % 24 : 0;
  const int end = plug.ReadState(blob, position);
  Require(end == -1 || (end == position + 96 && end <= blob.Size()));
  for (int i = 0; i < plug.NParams(); ++i)
    RequireInRange(*plug.GetParam(i));

  // The same bytes as normalized values from a host or a control.
  for (int pos = 0, i = 0; pos >= 0; ++i)
  {
    double x = 0.0;
    pos = blob.ReadDouble(&x, pos);
    if (pos < 0)
      break;
    IParamDef& p = *plug.GetParam(i % plug.NParams());
    p.SetFromNormalized(x);
    RequireInRange(p);
    Require(std::isfinite(p.FromNormalized(x)));
    const double back = p.ToNormalized(x);
    Require(back >= 0.0 && back <= 1.0);
    RequireFormatted(p, x, true);
    RequireFormatted(p, x, false);
  }

  // The same bytes as texts.
  const std::string text(reinterpret_cast<const char*>(data), size);
  const IHostId host = IdentifyHost(text.c_str());
  Require(host >= 0 && host <= 30);
  for (const IChannelPair& pair : ParseChannelString(text.c_str()))
    Require(pair.inputs >= 0 && pair.inputs <= 1024 && pair.outputs >= 0 && pair.outputs <= 1024);
  double value = 0.0;
  plug.GetParam(2)->ValueForDisplayText(text.c_str(), &value);
  return 0;
}
