// The shuffle's pseudo-random generator, defined here so that a seed always gives the same boards.
#pragma once

#include <cstdint>

// A linear congruential generator with one 32-bit word of state. Its sequence
// must never change, because the same seed has to produce the same board on
// every build and every platform; that is why the C library's rand is not used.
class CRandom {
 public:
  // The largest value rand can return.
  static constexpr int kMax = 0x7FFF;

  // Restarts the sequence: the state becomes the seed itself.
  void srand(uint32_t nSeed);

  // Advances the state and returns bits 16 to 30 of the new state (0 .. kMax).
  int rand();

  uint32_t m_nState = 0;
};
