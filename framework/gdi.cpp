// GDI wrappers: objects and device contexts that release what they made.
#include "framework.h"

// --- CGdiObject -------------------------------------------------------------

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (hObject == nullptr) return FALSE;
  if (m_hObject != nullptr && m_hObject != hObject) DeleteObject();
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ hObject = m_hObject;
  m_hObject = nullptr;
  return hObject;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  BOOL done = ::DeleteObject(m_hObject);
  m_hObject = nullptr;
  return done;
}

int CGdiObject::GetObject(int count, LPVOID buffer) const {
  if (m_hObject == nullptr) return 0;
  return ::GetObjectA(m_hObject, count, buffer);
}

// --- CBitmap, CFont, CBrush, CPen -------------------------------------------

BOOL CBitmap::LoadBitmap(UINT resourceId) { return LoadBitmap(MAKEINTRESOURCEA(resourceId)); }

BOOL CBitmap::LoadBitmap(LPCSTR resourceName) {
  return Attach(::LoadBitmapA(AfxGetResourceHandle(), resourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int width, int height) {
  if (pDC == nullptr) return FALSE;
  return Attach(::CreateCompatibleBitmap(pDC->m_hDC, width, height));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

int CBitmap::GetBitmap(BITMAP* pBitmap) const { return GetObject(sizeof(BITMAP), pBitmap); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                       BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, LPCSTR faceName) {
  return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                              strikeOut, charSet, outPrecision, clipPrecision, quality,
                              pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) {
  return Attach(::CreateFontIndirectA(logFont));
}

int CFont::GetLogFont(LOGFONTA* logFont) const { return GetObject(sizeof(LOGFONTA), logFont); }

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
  return Attach(::CreatePen(style, width, color));
}

// --- CDC --------------------------------------------------------------------

CDC::~CDC() { DeleteDC(); }

BOOL CDC::Attach(HDC hDC) {
  if (hDC == nullptr) return FALSE;
  if (m_hDC != nullptr && m_hDC != hDC) DeleteDC();
  m_hDC = hDC;
  return TRUE;
}

HDC CDC::Detach() {
  HDC hDC = m_hDC;
  m_hDC = nullptr;
  return hDC;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  BOOL done = ::DeleteDC(m_hDC);
  m_hDC = nullptr;
  return done;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

HBITMAP CDC::SelectObject(CBitmap* pBitmap) { return SelectObject(static_cast<HBITMAP>(pBitmap->m_hObject)); }
HFONT CDC::SelectObject(CFont* pFont) { return SelectObject(static_cast<HFONT>(pFont->m_hObject)); }
HBRUSH CDC::SelectObject(CBrush* pBrush) { return SelectObject(static_cast<HBRUSH>(pBrush->m_hObject)); }
HPEN CDC::SelectObject(CPen* pPen) { return SelectObject(static_cast<HPEN>(pPen->m_hObject)); }
HBITMAP CDC::SelectObject(HBITMAP hBitmap) { return static_cast<HBITMAP>(::SelectObject(m_hDC, hBitmap)); }
HFONT CDC::SelectObject(HFONT hFont) { return static_cast<HFONT>(::SelectObject(m_hDC, hFont)); }
HBRUSH CDC::SelectObject(HBRUSH hBrush) { return static_cast<HBRUSH>(::SelectObject(m_hDC, hBrush)); }
HPEN CDC::SelectObject(HPEN hPen) { return static_cast<HPEN>(::SelectObject(m_hDC, hPen)); }
HGDIOBJ CDC::SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* pSrc, int xSrc, int ySrc, DWORD rop) {
  return ::BitBlt(m_hDC, x, y, width, height, pSrc ? pSrc->m_hDC : nullptr, xSrc, ySrc, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* pSrc, int xSrc, int ySrc,
                     int srcWidth, int srcHeight, DWORD rop) {
  return ::StretchBlt(m_hDC, x, y, width, height, pSrc ? pSrc->m_hDC : nullptr, xSrc, ySrc,
                      srcWidth, srcHeight, rop);
}

int CDC::SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
int CDC::FillRect(LPCRECT rect, CBrush* pBrush) {
  return ::FillRect(m_hDC, rect, static_cast<HBRUSH>(pBrush->m_hObject));
}
int CDC::FillRect(LPCRECT rect, HBRUSH hBrush) { return ::FillRect(m_hDC, rect, hBrush); }

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
  ::SetBkColor(m_hDC, color);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF color) {
  RECT rect = {x, y, x + width, y + height};
  FillSolidRect(&rect, color);
}

int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hDC); }
COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hDC); }

int CDC::DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
  return ::DrawTextA(m_hDC, text, count, rect, format);
}
int CDC::DrawText(LPCSTR text, LPRECT rect, UINT format) { return DrawText(text, -1, rect, format); }
int CDC::DrawText(const std::string& text, LPRECT rect, UINT format) {
  return DrawText(text.c_str(), static_cast<int>(text.size()), rect, format);
}
BOOL CDC::TextOut(int x, int y, LPCSTR text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }
BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
BOOL CDC::DrawIcon(POINT point, HICON hIcon) { return ::DrawIcon(m_hDC, point.x, point.y, hIcon); }
BOOL CDC::DrawFocusRect(LPCRECT rect) { return ::DrawFocusRect(m_hDC, rect); }

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int savedDC) { return ::RestoreDC(m_hDC, savedDC); }
int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::ExcludeClipRect(LPCRECT rect) {
  return ::ExcludeClipRect(m_hDC, rect->left, rect->top, rect->right, rect->bottom);
}
int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) {
  return ::IntersectClipRect(m_hDC, x1, y1, x2, y2);
}
int CDC::GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old = {0, 0};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return CPoint(old);
}
CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old = {0, 0};
  ::SetViewportOrgEx(m_hDC, x, y, &old);
  return CPoint(old);
}
int CDC::GetTextCharset() const { return ::GetTextCharset(m_hDC); }
int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

// --- Window device contexts -------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
  m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
  if (m_hDC != nullptr) ::EndPaint(m_hWnd, &m_ps);
  m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }

CClientDC::~CClientDC() {
  if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
  m_hDC = nullptr;
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
  m_hDC = ::GetWindowDC(m_hWnd);
}

CWindowDC::~CWindowDC() {
  if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
  m_hDC = nullptr;
}
