// The framework's control wrappers: CButton, CStatic, CEdit, CComboBox,
// CListCtrl, CHeaderCtrl, CProgressCtrl and CIPAddressCtrl. Defined in
// controls.cpp; how notifications reach them is in framework/README.md.
#pragma once

#include <string>

#include "gdi.h"  // CSize for CListCtrl::Scroll; <windows.h>, which <commctrl.h> needs first
#include "wnd.h"

#include <commctrl.h>

class CHeaderCtrl;

// ===========================================================================
// Controls
// ===========================================================================

class CButton : public CWnd {
public:
  UINT GetState() const;  // BM_GETSTATE
  void SetState(BOOL highlight);  // BM_SETSTATE
  int GetCheck() const;  // BM_GETCHECK
  void SetCheck(int check);  // BM_SETCHECK
  UINT GetButtonStyle() const;  // low style byte
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);  // BM_SETSTYLE
  // Owner drawing (BS_OWNERDRAW): reflected WM_DRAWITEM. Base draws nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {
public:
  // A "STATIC" child window of pParent (CreateEx).
  BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* pParent, UINT id = 0xffff);
};

class CEdit : public CWnd {
public:
  void LimitText(int maxChars = 0);  // EM_LIMITTEXT
  void SetLimitText(UINT maxChars);
  UINT GetLimitText() const;  // EM_GETLIMITTEXT
  void SetSel(int start, int end, BOOL noScroll = FALSE);  // EM_SETSEL (+ EM_SCROLLCARET)
  BOOL SetReadOnly(BOOL readOnly = TRUE);  // EM_SETREADONLY
};

class CComboBox : public CWnd {
public:
  int AddString(LPCSTR text);  // CB_ADDSTRING
  int InsertString(int index, LPCSTR text);
  int DeleteString(int index);
  void ResetContent();  // CB_RESETCONTENT
  int SetCurSel(int index);  // CB_SETCURSEL
  int GetCurSel() const;
  int GetCount() const;
  int GetLBText(int index, LPSTR buffer) const;  // CB_GETLBTEXT; CB_ERR for a bad index
  void GetLBText(int index, std::string& text) const;  // empty for a bad index
  int GetLBTextLen(int index) const;
  int FindStringExact(int startAfter, LPCSTR text) const;
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CListCtrl : public CWnd {
public:
  DWORD SetExtendedStyle(DWORD exStyle);  // LVM_SETEXTENDEDLISTVIEWSTYLE; returns the old
  DWORD GetExtendedStyle() const;
  int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1,
                   int subItem = -1);  // LVM_INSERTCOLUMNA
  int InsertItem(int item, LPCSTR text);  // LVM_INSERTITEMA (LVIF_TEXT)
  int InsertItem(const LVITEMA* item);
  BOOL SetItemText(int item, int subItem, LPCSTR text);  // LVM_SETITEMTEXTA
  int GetItemText(int item, int subItem, LPSTR buffer, int length) const;  // LVM_GETITEMTEXTA
  std::string GetItemText(int item, int subItem) const;
  BOOL DeleteItem(int item);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  UINT GetItemState(int item, UINT mask) const;  // LVM_GETITEMSTATE
  BOOL SetItemState(int item, UINT state, UINT mask);  // LVM_SETITEMSTATE
  int GetNextItem(int item, int flags) const;  // LVM_GETNEXTITEM
  int GetTopIndex() const;  // LVM_GETTOPINDEX
  int GetCountPerPage() const;
  BOOL GetItemRect(int item, LPRECT rect, UINT code) const;  // LVM_GETITEMRECT
  BOOL Scroll(CSize size);  // LVM_SCROLL
  BOOL SetTextColor(COLORREF color);  // LVM_SETTEXTCOLOR
  COLORREF GetTextColor() const;
  BOOL SetTextBkColor(COLORREF color);  // LVM_SETTEXTBKCOLOR
  COLORREF GetTextBkColor() const;
  BOOL SetBkColor(COLORREF color);  // LVM_SETBKCOLOR
  // The list's header (LVM_GETHEADER, child id 0): its permanent object when
  // subclassed, else a temporary CHeaderCtrl; null when there is none.
  CHeaderCtrl* GetHeaderCtrl() const;
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CHeaderCtrl : public CWnd {
public:
  int GetItemCount() const;  // HDM_GETITEMCOUNT
  BOOL GetItem(int index, HDITEMA* item) const;  // HDM_GETITEMA
  BOOL GetItemRect(int index, LPRECT rect) const;  // HDM_GETITEMRECT
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CProgressCtrl : public CWnd {
public:
  void SetRange(short lower, short upper);  // PBM_SETRANGE
  void SetRange32(int lower, int upper);  // PBM_SETRANGE32
  void GetRange(int& lower, int& upper) const;  // PBM_GETRANGE
  int SetPos(int pos);  // returns the old position
  int GetPos() const;  // PBM_GETPOS
  int OffsetPos(int delta);
  int SetStep(int step);  // returns the old step
  int StepIt();  // returns the old position
};

class CIPAddressCtrl : public CWnd {
public:
  void SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3);  // IPM_SETADDRESS
  void SetAddress(DWORD address);  // field 0 in the highest byte (MAKEIPADDRESS)
  // IPM_GETADDRESS: the number of non-blank fields; blank fields read 0.
  int GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const;
  int GetAddress(DWORD& address) const;
  void ClearAddress();  // IPM_CLEARADDRESS
  BOOL IsBlank() const;  // IPM_ISBLANK
  void SetFieldFocus(WORD field);  // IPM_SETFOCUS, field 0..3
  void SetFieldRange(int field, BYTE lower, BYTE upper);  // IPM_SETRANGE
};
