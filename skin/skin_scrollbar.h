// Bitmap-drawn scroll bars that stand beside (vertical) and below
// (horizontal) a skinned list, turn clicks and drags into scroll requests for
// it and follow its scroll position (SyncThumb).
#pragma once
#include "framework.h"

class CSkinListCtrl;

// What the two bars share: creation, the press / release / drag / timer
// plumbing and the scroll requests. The bars differ in their constants,
// zones and release rules.
class CSkinScrollBarBase : public CStatic {
public:
  // Creates the bar as a child of pParent (WS_CHILD | WS_VISIBLE | WS_GROUP |
  // SS_NOTIFY, empty caption and rectangle, id 0xFFFF) scrolling list.
  BOOL Create(CWnd* pParent, CSkinListCtrl* list);
  void SetList(CSkinListCtrl* list) { m_list = list; }

  // Thumb from the list's position and limit, clamped, then painted.
  virtual void SyncThumb() = 0;
  virtual void ClampThumb() = 0;

  int ThumbPos() const { return m_thumbPos; }
  double ScrollScale() const { return m_scrollScale; }
  bool Grabbed() const { return m_grabbed != 0; }

protected:
  CSkinScrollBarBase(UINT scrollMessage, int bar, int initialThumb);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  virtual void Paint() = 0;
  virtual void OnPress(int x, int y) = 0;
  virtual void OnRelease(int x, int y) = 0;
  virtual void OnDrag(int x, int y) = 0;

  bool HasList() const;
  int Limit() const;  // the list's scroll limit in this bar's direction
  int Position() const;  // the list's scroll position in this bar's direction
  CRect Client() const;
  // WM_VSCROLL / WM_HSCROLL with code to the list, then SyncThumb.
  void Request(UINT code);
  void StartRepeatDelay();
  void StopTimers();
  void ReleaseMouse();

  CSkinListCtrl* m_list = nullptr;
  BYTE m_firstPressed = 0;  // up / left arrow
  BYTE m_secondPressed = 0;  // down / right arrow
  BYTE m_grabbed = 0;
  int m_thumbPos;
  double m_scrollScale = 0.0;

private:
  void OnTimer(UINT_PTR id);
  void Reset();

  UINT m_scrollMessage;
  int m_bar;
  bool m_releasing = false;
};

class CSkinVScrollBar : public CSkinScrollBarBase {
public:
  CSkinVScrollBar();

  void SyncThumb() override;
  void ClampThumb() override;

  bool UpPressed() const { return m_firstPressed != 0; }
  bool DownPressed() const { return m_secondPressed != 0; }

protected:
  void Paint() override;
  void OnPress(int x, int y) override;
  void OnRelease(int x, int y) override;
  void OnDrag(int x, int y) override;
};

class CSkinHScrollBar : public CSkinScrollBarBase {
public:
  CSkinHScrollBar();

  void SyncThumb() override;
  void ClampThumb() override;

  bool LeftPressed() const { return m_firstPressed != 0; }
  bool RightPressed() const { return m_secondPressed != 0; }

protected:
  void Paint() override;
  void OnPress(int x, int y) override;
  void OnRelease(int x, int y) override;
  void OnDrag(int x, int y) override;
};
