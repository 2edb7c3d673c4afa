// Off-screen drawing surface over a rectangle of a target device context.
#pragma once
#include "framework.h"

// Built from a target DC and a rectangle: a memory DC compatible with the
// target holding a compatible bitmap of the rectangle's size, with its window
// origin moved so that drawing uses the target's coordinates. Finish (or the
// destructor) copies the rectangle to the target at the same coordinates
// with SRCCOPY, puts the previous bitmap back and deletes the bitmap and the
// memory DC.
class CMemoryDC : public CDC {
public:
  CMemoryDC(CDC* target, const RECT& rect);
  ~CMemoryDC() override;

  // Copies to the target and releases everything now; idempotent.
  void Finish();

  // False when the memory DC or its bitmap could not be made; drawing then
  // goes nowhere and Finish copies nothing.
  bool IsValid() const { return m_valid; }
  const CRect& Rect() const { return m_rect; }

private:
  CDC* m_target;
  CRect m_rect;
  CBitmap m_bitmap;
  HBITMAP m_oldBitmap = nullptr;
  bool m_valid = false;
};
