#include "memory_dc.h"

CMemoryDC::CMemoryDC(CDC* target, const RECT& rect) : m_target(target), m_rect(rect) {
  if (m_target == nullptr || m_target->GetSafeHdc() == nullptr) return;
  if (!CreateCompatibleDC(m_target)) return;
  // A 0 x 0 bitmap would be a monochrome 1 x 1 stock-like object; keep at
  // least one pixel so the DC always has a colour surface.
  int width = m_rect.Width() > 0 ? m_rect.Width() : 1;
  int height = m_rect.Height() > 0 ? m_rect.Height() : 1;
  if (!m_bitmap.CreateCompatibleBitmap(m_target, width, height)) {
    DeleteDC();
    return;
  }
  m_oldBitmap = SelectObject(&m_bitmap);
  SetWindowOrg(m_rect.left, m_rect.top);
  m_valid = true;
}

CMemoryDC::~CMemoryDC() { Finish(); }

void CMemoryDC::Finish() {
  if (!m_valid) return;
  m_valid = false;
  if (m_rect.Width() > 0 && m_rect.Height() > 0)
    m_target->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                     m_rect.top, SRCCOPY);
  SelectObject(m_oldBitmap);
  m_oldBitmap = nullptr;
  m_bitmap.DeleteObject();
  DeleteDC();
}
