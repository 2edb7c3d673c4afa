// Report-view list that paints off-screen on a white ground, shows its
// selected row in fixed colours, carries a bitmap-drawn header and is
// scrolled through two skinned bars placed beside and below it.
#pragma once
#include <vector>

#include "framework.h"
#include "skin_scrollbar.h"

// Header drawn from the strip and separator bitmaps, titles centred in a
// fixed font and cut with an ellipsis.
class CSkinHeaderCtrl : public CHeaderCtrl {
public:
  CSkinHeaderCtrl() = default;
  void DrawItem(LPDRAWITEMSTRUCT) override {}

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void OnPaint();
};

class CSkinListCtrl : public CListCtrl {
public:
  CSkinListCtrl() = default;

  // Attached with DDX_Control: subclasses the list's header with the
  // header member.
  void PreSubclassWindow() override;

  // Once per list, after it is attached (the dialog's OnInitDialog): hides
  // the list's own scroll bars (for good: see HideOwnScrollBars), creates
  // the two skinned bars as children of the list's parent and places them.
  void AttachScrollBars();
  // Vertical bar at the list's right edge (14 wide, list height - 1), the
  // horizontal bar at its bottom edge (list width - 2, 14 high); then both
  // thumbs follow the list.
  void PlaceScrollBars();

  CSkinHeaderCtrl& Header() { return m_header; }
  CSkinVScrollBar& VerticalBar() { return m_vbar; }
  CSkinHScrollBar& HorizontalBar() { return m_hbar; }

  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void HideOwnScrollBars();
  void SyncBars();
  void OnPaint();
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);

  CSkinHeaderCtrl m_header;
  CSkinVScrollBar m_vbar;
  CSkinHScrollBar m_hbar;
  // Rows whose selection was taken away and given back during the paint in
  // progress; their invalidation by that round trip is already painted.
  std::vector<int> m_flippedRows;

public:
  // Colours of the selected row.
  COLORREF selectedTextColor = RGB(0, 0, 0);
  COLORREF selectedBackColor = RGB(190, 190, 190);

private:
};
