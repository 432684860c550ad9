#pragma once

#include "plug/IDataBlob.h"

// One program: used flag, name and the stored parameter state (the layout
// written by IPlugBase::WriteParameters). A free program has an empty state.
struct IProgram
{
  static constexpr int kNameSize = 256;

  bool used = false;
  char name[kNameSize] = {};
  IDataBlob state;
};
