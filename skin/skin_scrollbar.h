// Bitmap-drawn scroll bars that stand beside (vertical) and below
// (horizontal) a skinned list, turn clicks and drags into scroll requests for
// it and follow its scroll position (SyncThumb).
#pragma once
#include "framework.h"

class CSkinListCtrl;

class CSkinVScrollBar : public CStatic {
public:
  CSkinVScrollBar() = default;

  // Creates the bar as a child of pParent (WS_CHILD | WS_VISIBLE | WS_GROUP |
  // SS_NOTIFY, empty caption and rectangle, id 0xFFFF) scrolling list.
  BOOL Create(CWnd* pParent, CSkinListCtrl* list);
  void SetList(CSkinListCtrl* list) { m_list = list; }

  // Thumb from the list's position and limit, clamped, then painted.
  void SyncThumb();
  void ClampThumb();

  int ThumbPos() const { return m_thumbPos; }
  double ScrollScale() const { return m_scrollScale; }
  bool UpPressed() const { return m_upPressed != 0; }
  bool DownPressed() const { return m_downPressed != 0; }
  bool Grabbed() const { return m_grabbed != 0; }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void Paint();
  void Request(UINT code);
  int Height() const;
  int Limit() const;
  void OnLButtonDown(int x, int y);
  void OnLButtonUp(int x, int y);
  void OnMouseMove(int y);
  void OnTimer(UINT_PTR id);
  void Reset();

  CSkinListCtrl* m_list = nullptr;
  BYTE m_upPressed = 0;
  BYTE m_downPressed = 0;
  BYTE m_grabbed = 0;
  int m_thumbPos = 14;
  double m_scrollScale = 0.0;
  bool m_releasing = false;
};

class CSkinHScrollBar : public CStatic {
public:
  CSkinHScrollBar() = default;

  BOOL Create(CWnd* pParent, CSkinListCtrl* list);
  void SetList(CSkinListCtrl* list) { m_list = list; }

  void SyncThumb();
  void ClampThumb();

  int ThumbPos() const { return m_thumbPos; }
  double ScrollScale() const { return m_scrollScale; }
  bool RightPressed() const { return m_rightPressed != 0; }
  bool LeftPressed() const { return m_leftPressed != 0; }
  bool Grabbed() const { return m_grabbed != 0; }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void Paint();
  void Request(UINT code);
  int Width() const;
  int Limit() const;
  void OnLButtonDown(int x, int y);
  void OnLButtonUp(int x, int y);
  void OnMouseMove(int x);
  void OnTimer(UINT_PTR id);
  void Reset();

  BYTE m_rightPressed = 0;
  BYTE m_leftPressed = 0;
  BYTE m_grabbed = 0;
  int m_thumbPos = 25;
  double m_scrollScale = 0.0;
  CSkinListCtrl* m_list = nullptr;
  bool m_releasing = false;
};
