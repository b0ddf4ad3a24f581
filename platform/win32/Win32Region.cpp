// Regions on Windows: a CRgn holds an HRGN, and GDI's own rules build and combine them.
#include <vector>

#include "platform/api/Region.h"

void CRgn::Release() {
  if (m_hRgn) ::DeleteObject(m_hRgn);
  m_hRgn = nullptr;
}

BOOL CRgn::CreateRectRgn(int l, int t, int r, int b) {
  if (m_hRgn) return FALSE;
  m_hRgn = ::CreateRectRgn(l, t, r, b);
  return m_hRgn ? TRUE : FALSE;
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rc) {
  return rc ? CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom) : FALSE;
}

BOOL CRgn::CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  if (m_hRgn) return FALSE;
  m_hRgn = ::CreateRoundRectRgn(l, t, r, b, w, h);
  return m_hRgn ? TRUE : FALSE;
}

int CRgn::Type() const {
  RECT box;
  return m_hRgn ? ::GetRgnBox(m_hRgn, &box) : ERROR;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  if (!m_hRgn || !a || !a->m_hRgn) return ERROR;
  if (mode != RGN_COPY && (!b || !b->m_hRgn)) return ERROR;
  return ::CombineRgn(m_hRgn, a->m_hRgn, mode == RGN_COPY ? nullptr : b->m_hRgn, mode);
}

BOOL CRgn::CopyRgn(const CRgn* source) {
  return CombineRgn(source, nullptr, RGN_COPY) != ERROR ? TRUE : FALSE;
}

BOOL CRgn::EqualRgn(const CRgn* other) const {
  if (!m_hRgn || !other || !other->m_hRgn) return FALSE;
  return ::EqualRgn(m_hRgn, other->m_hRgn);
}

BOOL CRgn::PtInRegion(int x, int y) const {
  return m_hRgn ? ::PtInRegion(m_hRgn, x, y) : FALSE;
}

int CRgn::OffsetRgn(int dx, int dy) {
  return m_hRgn ? ::OffsetRgn(m_hRgn, dx, dy) : ERROR;
}

CRect CRgn::GetRgnBox() const {
  RECT box{};
  if (m_hRgn) ::GetRgnBox(m_hRgn, &box);
  return CRect(box);
}

int CRgn::GetRgnBox(RECT* rc) const {
  if (!rc) return ERROR;
  *rc = GetRgnBox();
  return Type();
}

std::vector<RECT> CRgn::Rects() const {
  if (!m_hRgn) return {};
  const DWORD size = GetRegionData(m_hRgn, 0, nullptr);
  std::vector<unsigned char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (!size || !GetRegionData(m_hRgn, size, data)) return {};
  const auto* first = reinterpret_cast<const RECT*>(data->Buffer);
  return std::vector<RECT>(first, first + data->rdh.nCount);
}
