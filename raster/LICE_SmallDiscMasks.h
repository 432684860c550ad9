#pragma once
//! Precomputed coverage masks of small circles, stamped instead of
//! rasterised: radii 1.5, 2, 2.5, 3, 3.5 and 4 in every variant, 5, 6 and 7
//! antialiased only.

#include <cstdint>

struct LICE_SmallDiscMask
{
  float radius;
  int side;                   // square side in pixels
  const std::uint8_t* outline;
  const std::uint8_t* filled;
  const std::uint8_t* outlineAntialiased;
  const std::uint8_t* filledAntialiased;
};

//! The mask for `radius` (exactly one of the listed values), or null. Plain
//! variants are null for radii 5, 6 and 7.
const LICE_SmallDiscMask* LICE_SmallDiscMasks(float radius);
