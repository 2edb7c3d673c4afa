// Push button painted entirely from bitmaps, with normal, pressed, hover and
// disabled faces, that follows the mouse itself. Its window text names its
// function (for screen readers) and is never drawn. With the keyboard focus
// it shows a focus rectangle inside the face; Space presses it as it presses
// a system push button, and Enter presses it (BN_CLICKED to the parent).
#pragma once
#include "framework.h"

class CSkinButton : public CButton {
public:
  CSkinButton();
  ~CSkinButton() override;

  // Loads the four faces (bitmap resource ids, 0 for none), in this order:
  // normal, pressed, hover, disabled. Images held before are deleted first.
  // With disabled 0 and normal non-zero the normal image also serves as the
  // disabled face. An id that does not load leaves that face empty; an empty
  // face paints in the system button-face colour.
  void SetSkin(UINT normal, UINT pressed, UINT hover, UINT disabled);

  // Attached with DDX_Control (or SubclassWindow): records the button kind
  // and makes the control owner-drawn.
  void PreSubclassWindow() override;
  void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

  // State, for the dialogs and tests.
  bool IsHovering() const { return m_hover != 0; }
  bool IsTrackingPress() const { return m_tracking != 0; }
  int ButtonKind() const { return m_kind; }
  bool HasImage(int face) const;  // face: 0 normal, 1 pressed, 2 disabled, 3 hover

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  LRESULT OnLButtonDown();
  LRESULT OnMouseMove(LPARAM lParam);
  // WM_COMMAND BN_CLICKED of this button to its parent, as a click sends.
  void NotifyClicked();
  void DeleteImages();
  bool TrackLeave(DWORD flags);
  void DrawFace(CDC& dc, const CRect& rect, CBitmap& image);

  BYTE m_check = 0;
  int m_kind = 0;
  BYTE m_hover = 0;
  BYTE m_tracking = 0;
  CBitmap m_normal;
  CBitmap m_pressed;
  CBitmap m_disabled;
  CBitmap m_hoverImage;

  // Pixels between the face's edge and the focus rectangle.
  static constexpr int kFocusInset = 3;
  // Bit 30 of a key message's lParam: the key was already down (a repeat).
  static constexpr LPARAM kKeyWasDown = 1 << 30;
};
