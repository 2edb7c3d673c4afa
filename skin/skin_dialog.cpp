#include "skin_dialog.h"

#include <algorithm>
#include <cstring>

#include "skin_geometry.h"

CSkinDialog::CSkinDialog(CWnd* pParent, const SkinDialogSettings& settings)
    : CDialog(settings.templateId, pParent), m_settings(settings) {
  if (m_settings.paintMode == SkinPaintMode::Natural && m_settings.backgroundId != 0) {
    m_background.Attach(LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_settings.backgroundId),
                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
}

CSkinDialog::~CSkinDialog() = default;

BOOL CSkinDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  for (const SkinButtonFaces& faces : m_settings.buttons) {
    HWND item = ::GetDlgItem(m_hWnd, faces.controlId);
    if (item == nullptr) continue;
    CWnd* attached = CWnd::FromHandlePermanent(item);
    CSkinButton* button = dynamic_cast<CSkinButton*>(attached);
    if (button == nullptr && attached == nullptr) {
      auto own = std::make_unique<CSkinButton>();
      if (own->SubclassWindow(item)) {
        button = own.get();
        m_ownButtons.push_back(std::move(own));
      }
    }
    if (button == nullptr) continue;
    button->SetSkin(faces.normal, faces.active, faces.active,
                    faces.disabledShowsNormal ? faces.normal : faces.active);
  }
  // The window is joined to this object only at WM_INITDIALOG, after its
  // first WM_SIZE; give it its outline now.
  if (m_settings.roundedFrame) {
    CRect client;
    GetClientRect(&client);
    FrameRegion(client.Width(), client.Height());
  }
  return TRUE;
}

CSkinButton* CSkinDialog::SkinButton(int controlId) const {
  if (m_hWnd == nullptr) return nullptr;
  return dynamic_cast<CSkinButton*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, controlId)));
}

bool CSkinDialog::IsExcluded(int id) const {
  return std::find(m_settings.excludedIds.begin(), m_settings.excludedIds.end(), id) !=
         m_settings.excludedIds.end();
}

HBRUSH CSkinDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT ctlColor) {
  if (ctlColor == CTLCOLOR_STATIC && !(pWnd != nullptr && IsExcluded(pWnd->GetDlgCtrlID()))) {
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_settings.staticTextColor);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  return CDialog::OnCtlColor(pDC, pWnd, ctlColor);
}

BOOL CSkinDialog::EraseStretch(CDC* pDC) {
  Default();
  CRect client;
  GetClientRect(&client);
  if (m_background.GetSafeHandle() == nullptr && m_settings.backgroundId != 0)
    m_background.LoadBitmap(m_settings.backgroundId);
  if (m_background.GetSafeHandle() == nullptr) return TRUE;

  CDC memory;
  if (!memory.CreateCompatibleDC(pDC)) return TRUE;
  HBITMAP old = memory.SelectObject(&m_background);
  BITMAP info;
  if (old != nullptr && m_background.GetBitmap(&info) != 0) {
    // COLORONCOLOR keeps colours when the client differs from the picture's
    // size (the default mode ANDs shrunk rows together and darkens them).
    int oldMode = pDC->SetStretchBltMode(COLORONCOLOR);
    pDC->StretchBlt(client.left, client.top, client.Width(), client.Height(), &memory, 0, 0,
                    info.bmWidth, info.bmHeight, SRCCOPY);
    pDC->SetStretchBltMode(oldMode);
  }
  if (old != nullptr) memory.SelectObject(old);
  return TRUE;
}

BOOL CSkinDialog::EraseNatural(CDC* pDC) {
  if (m_background.GetSafeHandle() != nullptr) {
    CDC memory;
    if (memory.CreateCompatibleDC(pDC)) {
      HBITMAP old = memory.SelectObject(&m_background);
      BITMAP info;
      if (old != nullptr && m_background.GetBitmap(&info) != 0) {
        pDC->BitBlt(0, 0, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
        return TRUE;
      }
      if (old != nullptr) memory.SelectObject(old);
    }
  }
  return static_cast<BOOL>(Default());
}

BOOL CSkinDialog::OnEraseBkgnd(CDC* pDC) {
  return m_settings.paintMode == SkinPaintMode::Natural ? EraseNatural(pDC) : EraseStretch(pDC);
}

void CSkinDialog::FrameRegion(int width, int height) {
  if (m_hWnd == nullptr || !FrameRegionFits(width, height)) return;

  struct {
    RGNDATAHEADER header;
    RECT rects[kFrameRectCount];
  } data;
  static_assert(sizeof(data) == 32 + kFrameRectCount * 16, "region data layout");
  std::memset(&data, 0, sizeof(data));
  data.header.dwSize = sizeof(RGNDATAHEADER);
  data.header.iType = RDH_RECTANGLES;
  data.header.nCount = kFrameRectCount;
  data.header.nRgnSize = 0;
  SetRect(&data.header.rcBound, 0, 0, width, height);
  FrameRegionRects(width, height, data.rects);

  HRGN region = ExtCreateRegion(nullptr, sizeof(data), reinterpret_cast<const RGNDATA*>(&data));
  // null: no region, square corners. The window owns the region only once
  // SetWindowRgn succeeds; otherwise it is still ours to delete.
  if (!SetWindowRgn(region, TRUE) && region != nullptr) ::DeleteObject(region);
  InvalidateRect(nullptr, TRUE);
}

LRESULT CSkinDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      CDCHandle dc(reinterpret_cast<HDC>(wParam));
      return OnEraseBkgnd(&dc);
    }
    case WM_NCHITTEST:
      if (m_settings.clientDrag) {
        LRESULT hit = Default();
        return hit == HTCLIENT ? HTCAPTION : hit;
      }
      break;
    case WM_SIZE:
      if (m_settings.roundedFrame) {
        LRESULT result = Default();
        if (wParam != SIZE_MINIMIZED) FrameRegion(LOWORD(lParam), HIWORD(lParam));
        return result;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) != 0) {
        if (LOWORD(wParam) == m_settings.minimizeButtonId) {
          ShowWindow(SW_MINIMIZE);
          return 0;
        }
        if (LOWORD(wParam) == m_settings.closeButtonId) {
          CDialog::OnCancel();
          return 0;
        }
      }
      break;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}
