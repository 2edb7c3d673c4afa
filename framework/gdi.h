// The framework's GDI wrappers: the value types CSize, CPoint and CRect, the
// GDI objects (CBitmap, CFont, CBrush, CPen) and the device contexts (CDC and
// the paint, client and window DCs). Defined in gdi.cpp; how the framework is
// used is in framework/README.md.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

class CWnd;
class CDC;

// ===========================================================================
// Small value types
// ===========================================================================

class CSize : public SIZE {
public:
  CSize() {
    cx = 0;
    cy = 0;
  }
  CSize(int x, int y) {
    cx = x;
    cy = y;
  }
};

class CPoint : public POINT {
public:
  CPoint() {
    x = 0;
    y = 0;
  }
  CPoint(int px, int py) {
    x = px;
    y = py;
  }
  CPoint(POINT p) {
    x = p.x;
    y = p.y;
  }
  // The point packed in an LPARAM of a mouse message (signed coordinates).
  explicit CPoint(LPARAM lParam) {
    x = static_cast<short>(LOWORD(lParam));
    y = static_cast<short>(HIWORD(lParam));
  }
  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
  bool operator!=(const POINT& p) const { return !(*this == p); }
};

class CRect : public RECT {
public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& r) {
    left = r.left;
    top = r.top;
    right = r.right;
    bottom = r.bottom;
  }
  CRect(POINT topLeft, SIZE size) {
    left = topLeft.x;
    top = topLeft.y;
    right = left + size.cx;
    bottom = top + size.cy;
  }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != 0; }
  bool operator!=(const RECT& r) const { return !(*this == r); }
};

// ===========================================================================
// GDI objects
// ===========================================================================

// Owns one GDI object and deletes it when destroyed.
class CGdiObject {
public:
  HGDIOBJ m_hObject = nullptr;

  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  // Takes ownership (deleting what was held before). Accepts the HANDLE of
  // LoadImage. FALSE for a null handle.
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();  // gives up ownership
  BOOL DeleteObject();  // ::DeleteObject; FALSE when empty
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  int GetObject(int count, LPVOID buffer) const;  // ::GetObjectA
};

class CBitmap : public CGdiObject {
public:
  BOOL LoadBitmap(UINT resourceId);  // ::LoadBitmapA from AfxGetResourceHandle()
  BOOL LoadBitmap(LPCSTR resourceName);
  BOOL CreateCompatibleBitmap(CDC* pDC, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  int GetBitmap(BITMAP* pBitmap) const;  // ::GetObjectA; 0 on failure
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CFont : public CGdiObject {
public:
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                  BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                  BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCSTR faceName);  // ::CreateFontA
  BOOL CreateFontIndirect(const LOGFONTA* logFont);  // ::CreateFontIndirectA
  int GetLogFont(LOGFONTA* logFont) const;  // ::GetObjectA
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  BOOL CreateSolidBrush(COLORREF color);  // ::CreateSolidBrush
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CPen : public CGdiObject {
public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color);  // ::CreatePen
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

// ===========================================================================
// Device contexts
// ===========================================================================

// Holds an HDC; deletes it (::DeleteDC) when destroyed unless detached.
class CDC {
public:
  HDC m_hDC = nullptr;

  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL Attach(HDC hDC);  // takes ownership; FALSE for null
  HDC Detach();
  BOOL DeleteDC();  // ::DeleteDC; FALSE when empty

  // ::CreateCompatibleDC with pDC's DC (the screen for null). Deletes a DC
  // held before.
  BOOL CreateCompatibleDC(CDC* pDC);

  // ::SelectObject; each returns the handle that was selected before.
  HBITMAP SelectObject(CBitmap* pBitmap);
  HFONT SelectObject(CFont* pFont);
  HBRUSH SelectObject(CBrush* pBrush);
  HPEN SelectObject(CPen* pPen);
  HBITMAP SelectObject(HBITMAP hBitmap);
  HFONT SelectObject(HFONT hFont);
  HBRUSH SelectObject(HBRUSH hBrush);
  HPEN SelectObject(HPEN hPen);
  HGDIOBJ SelectStockObject(int index);  // ::SelectObject(GetStockObject(index))

  BOOL BitBlt(int x, int y, int width, int height, CDC* pSrc, int xSrc, int ySrc, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* pSrc, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, DWORD rop);
  int SetStretchBltMode(int mode);
  int FillRect(LPCRECT rect, CBrush* pBrush);  // ::FillRect
  int FillRect(LPCRECT rect, HBRUSH hBrush);
  // Fills with a colour through ::SetBkColor and ::ExtTextOutA(ETO_OPAQUE);
  // leaves the DC's background colour set to that colour.
  void FillSolidRect(LPCRECT rect, COLORREF color);
  void FillSolidRect(int x, int y, int width, int height, COLORREF color);

  int SetBkMode(int mode);
  int GetBkMode() const;
  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const;

  int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);  // ::DrawTextA
  int DrawText(LPCSTR text, LPRECT rect, UINT format);  // zero-terminated
  int DrawText(const std::string& text, LPRECT rect, UINT format);
  BOOL TextOut(int x, int y, LPCSTR text, int count);  // ::TextOutA
  BOOL DrawIcon(int x, int y, HICON hIcon);
  BOOL DrawIcon(POINT point, HICON hIcon);
  BOOL DrawFocusRect(LPCRECT rect);  // ::DrawFocusRect (drawn by XOR: a second call removes it)

  int SaveDC();
  BOOL RestoreDC(int savedDC);
  int ExcludeClipRect(int x1, int y1, int x2, int y2);
  int ExcludeClipRect(LPCRECT rect);
  int IntersectClipRect(int x1, int y1, int x2, int y2);
  int GetClipBox(LPRECT rect) const;
  CPoint SetWindowOrg(int x, int y);  // ::SetWindowOrgEx; returns the previous origin
  CPoint SetViewportOrg(int x, int y);  // ::SetViewportOrgEx; returns the previous origin
  int GetTextCharset() const;  // ::GetTextCharset
  int GetDeviceCaps(int index) const;
};

// A CDC over a DC that belongs to someone else (DRAWITEMSTRUCT, NMCUSTOMDRAW,
// WM_CTLCOLOR*): never deletes it.
class CDCHandle : public CDC {
public:
  explicit CDCHandle(HDC hDC) { m_hDC = hDC; }
  ~CDCHandle() override { m_hDC = nullptr; }
};

// ::BeginPaint in the constructor, ::EndPaint in the destructor.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

protected:
  HWND m_hWnd;
};

// ::GetDC in the constructor, ::ReleaseDC in the destructor.
class CClientDC : public CDC {
public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

protected:
  HWND m_hWnd;
};

// ::GetWindowDC in the constructor, ::ReleaseDC in the destructor.
class CWindowDC : public CDC {
public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;

protected:
  HWND m_hWnd;
};
