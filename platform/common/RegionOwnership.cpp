// How a CRgn owns its region on every platform: it frees it when it goes, hands it on when moved, and can
// give it up to a window or take one over.
#include <utility>

#include "platform/api/Region.h"

CRgn::~CRgn() {
  Release();
}

CRgn::CRgn(CRgn&& other) noexcept
    : CGdiObject(std::move(other)), m_hRgn(std::exchange(other.m_hRgn, nullptr)) {}

CRgn& CRgn::operator=(CRgn&& other) noexcept {
  if (this != &other) {
    Release();
    CGdiObject::operator=(std::move(other));
    m_hRgn = std::exchange(other.m_hRgn, nullptr);
  }
  return *this;
}

void CRgn::Attach(HRGN region) {
  Release();
  m_hRgn = region;
}

HRGN CRgn::Detach() {
  return std::exchange(m_hRgn, nullptr);
}
