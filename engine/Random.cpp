// The shuffle's pseudo-random generator.
#include "engine/Random.h"

namespace {
constexpr uint32_t kMultiplier = 214013u;
constexpr uint32_t kIncrement = 2531011u;
constexpr int kResultShift = 16;
}  // namespace

void CRandom::srand(uint32_t nSeed) {
  m_nState = nSeed;
}

int CRandom::rand() {
  // Unsigned arithmetic wraps modulo 2^32, which is exactly the step the
  // sequence is defined by.
  m_nState = m_nState * kMultiplier + kIncrement;
  return static_cast<int>((m_nState >> kResultShift) & static_cast<uint32_t>(kMax));
}
