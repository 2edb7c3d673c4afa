// Renders every dialog of the program with its bitmaps, the way the skinned
// windows draw them, and saves each client area as a BMP file, so that the
// pictures can be judged in place. Not a test: a tool for whoever draws them.
//
//   resources_preview.exe <output folder> [active]
//
// With "active" the buttons show their active images.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"

namespace {

struct Face {
  int control;
  int normal;
  int active;
};

struct DialogCase {
  int id;
  int background;
  bool stretch;
  COLORREF text;
  std::vector<Face> faces;
};

const std::vector<DialogCase>& Dialogs() {
  static const std::vector<DialogCase> dialogs = {
      {IDD_MAIN, IDB_MAIN_BG, true, RGB(0, 0, 0),
       {{IDC_REFRESH, IDB_SEARCH, IDB_SEARCH_ACTIVE},
        {IDC_MAP, IDB_MAP, IDB_MAP_ACTIVE},
        {IDC_UNMAP, IDB_UNMAP, IDB_UNMAP_ACTIVE},
        {IDC_APPLY, IDB_APPLY, IDB_APPLY_ACTIVE},
        {IDC_WEB, IDB_WEB, IDB_WEB_ACTIVE},
        {IDC_EXIT, IDB_EXIT, IDB_EXIT_ACTIVE},
        {IDC_ABOUT, IDB_ABOUT, IDB_ABOUT_ACTIVE},
        {IDC_LANGUAGE, IDB_LANGUAGE, IDB_LANGUAGE_ACTIVE},
        {IDC_BT, IDB_BT, IDB_BT_ACTIVE},
        {IDC_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_ACTIVE},
        {IDC_CLOSE, IDB_CLOSE, IDB_CLOSE_ACTIVE}}},
      {IDD_ABOUT, IDB_ABOUT_BG, true, RGB(255, 255, 255), {{IDOK, IDB_OK, IDB_OK_ACTIVE}}},
      {IDD_LOGIN, IDB_LOGIN_BG, true, RGB(255, 255, 255),
       {{IDOK, IDB_OK, IDB_OK_ACTIVE}, {IDCANCEL, IDB_CANCEL, IDB_CANCEL_ACTIVE}}},
      {IDD_LANGUAGE, IDB_INSTALL_BG, true, RGB(255, 255, 255),
       {{IDOK, IDB_OK, IDB_OK_ACTIVE}, {IDCANCEL, IDB_CANCEL, IDB_CANCEL_ACTIVE}}},
      {IDD_DRIVE_IN_USE, IDB_DRIVE_IN_USE_BG, true, RGB(255, 255, 255),
       {{IDOK, IDB_OK, IDB_OK_ACTIVE}, {IDCANCEL, IDB_CANCEL, IDB_CANCEL_ACTIVE}}},
      {IDD_MODEL_SELECT, IDB_MODEL_SELECT_BG, true, RGB(255, 255, 255),
       {{IDOK, IDB_OK, IDB_OK_ACTIVE}, {IDCANCEL, IDB_CANCEL, IDB_CANCEL_ACTIVE}}},
      {IDD_WIDGET_ENGINE, IDB_WIDGET_ENGINE_BG, true, RGB(255, 255, 255),
       {{IDOK, IDB_DOWNLOAD, IDB_DOWNLOAD_ACTIVE}, {IDCANCEL, IDB_NEXT, IDB_NEXT_ACTIVE}}},
      {IDD_INSTALL_PROGRESS, IDB_INSTALL_BG, false, RGB(255, 255, 255), {}},
      {IDD_RESTART_WAIT, IDB_RESTART_BG, false, RGB(255, 255, 255), {}},
  };
  return dialogs;
}

const DialogCase* g_current = nullptr;
bool g_active = false;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

void Blit(HDC target, int bitmap, int x, int y, int w, int h) {
  HBITMAP b = LoadBitmapA(Module(), MAKEINTRESOURCEA(bitmap));
  HDC dc = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(dc, b);
  BitBlt(target, x, y, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(b);
}

void Stretch(HDC target, int bitmap, int x, int y, int w, int h, int sw, int sh) {
  HBITMAP b = LoadBitmapA(Module(), MAKEINTRESOURCEA(bitmap));
  HDC dc = CreateCompatibleDC(target);
  HGDIOBJ old = SelectObject(dc, b);
  StretchBlt(target, x, y, w, h, dc, 0, 0, sw, sh, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(b);
}

// The list header as the skin paints it: the strip, a separator before
// every column but the first, centred black titles.
WNDPROC g_headerProc = nullptr;
LRESULT CALLBACK HeaderProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) return FALSE;
  if (msg != WM_PAINT) return CallWindowProcA(g_headerProc, w, msg, wp, lp);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  RECT c;
  GetClientRect(w, &c);
  Stretch(dc, IDB_HEADER_STRIP, 0, 0, c.right, 17, 1, 17);
  int count = static_cast<int>(SendMessageA(w, HDM_GETITEMCOUNT, 0, 0));
  LOGFONTA lf{};
  lf.lfHeight = 14;
  std::strcpy(lf.lfFaceName, "Tahoma 14");
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 255;
    SendMessageA(w, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    RECT r;
    SendMessageA(w, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    if (i > 0) Stretch(dc, IDB_HEADER_SEPARATOR, r.left - 2, 0, 12, 17, 12, 17);
    InflateRect(&r, -2, -2);
    DrawTextA(dc, text, -1, &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
  EndPaint(w, &ps);
  return 0;
}

// The two scroll bars beside a list, in their scrollable or not-scrollable
// form.
struct BarInfo {
  bool vertical;
  bool scrollable;
};

LRESULT CALLBACK BarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_PAINT) return DefWindowProcA(w, msg, wp, lp);
  auto* info = reinterpret_cast<BarInfo*>(GetWindowLongPtrA(w, GWLP_USERDATA));
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  RECT c;
  GetClientRect(w, &c);
  const int W = c.right, H = c.bottom;
  if (info->vertical) {
    FillRect(dc, &c, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (info->scrollable) {
      Stretch(dc, IDB_VSCROLL_TRACK, 0, 9, 18, H - 18, 18, 1);
      Blit(dc, IDB_VSCROLL_UP, 0, 0, 14, 18);
      Blit(dc, IDB_VSCROLL_DOWN, 0, H - 16, 14, 18);
      Blit(dc, IDB_VSCROLL_THUMB, 0, 20 - 4, 14, 26);
    } else {
      Stretch(dc, IDB_VSCROLL_TRACK_OFF, 0, 9, 18, H - 18, 18, 1);
      Blit(dc, IDB_VSCROLL_UP_OFF, 0, 0, 14, 18);
      Blit(dc, IDB_VSCROLL_DOWN_OFF, 0, H - 16, 14, 18);
    }
  } else {
    FillRect(dc, &c, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (info->scrollable) {
      Stretch(dc, IDB_HSCROLL_TRACK, 15, 0, W - 27, 18, 1, 18);
      Blit(dc, IDB_HSCROLL_LEFT, 0, 0, 16, 14);
      Blit(dc, IDB_HSCROLL_RIGHT, W - 16, 0, 16, 14);
      Blit(dc, IDB_HSCROLL_THUMB, 40 - 4, 0, 26, 26);
    } else {
      Stretch(dc, IDB_HSCROLL_TRACK_OFF, 15, 0, W - 27, 18, 1, 18);
      Blit(dc, IDB_HSCROLL_LEFT_OFF, 0, 0, 16, 14);
      Blit(dc, IDB_HSCROLL_RIGHT_OFF, W - 16, 0, 16, 14);
    }
  }
  EndPaint(w, &ps);
  return 0;
}

void SkinList(HWND dialog, int id, const std::vector<std::pair<const char*, int>>& columns,
              const std::vector<std::vector<const char*>>& rows, bool scrollable) {
  HWND list = GetDlgItem(dialog, id);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  HFONT font = CreateFontA(13, 0, 0, 0, 100, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  for (size_t i = 0; i < columns.size(); ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.fmt = LVCFMT_LEFT;
    col.cx = columns[i].second;
    col.pszText = const_cast<char*>(columns[i].first);
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
  }
  for (size_t r = 0; r < rows.size(); ++r) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(r);
    item.pszText = const_cast<char*>(rows[r][0]);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (size_t s = 1; s < rows[r].size(); ++s) {
      item.iSubItem = static_cast<int>(s);
      item.pszText = const_cast<char*>(rows[r][s]);
      SendMessageA(list, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
    }
  }
  // The selected row in the skin's colours, black on (190, 190, 190).
  ListView_SetTextColor(list, RGB(0, 0, 0));
  HWND header = ListView_GetHeader(list);
  g_headerProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HeaderProc)));
  ShowScrollBar(list, SB_BOTH, FALSE);

  RECT l;
  GetWindowRect(list, &l);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&l), 2);
  static BarInfo infos[8];
  static int used = 0;
  for (int v = 0; v < 2; ++v) {
    BarInfo* info = &infos[used++];
    info->vertical = v == 0;
    info->scrollable = scrollable;
    HWND bar = CreateWindowExA(0, "NexoraPreviewBar", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, dialog, nullptr,
                               Module(), nullptr);
    SetWindowLongPtrA(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(info));
    if (info->vertical) {
      SetWindowPos(bar, nullptr, l.right, l.top, 14, l.bottom - l.top - 1, SWP_NOZORDER);
    } else {
      SetWindowPos(bar, nullptr, l.left, l.bottom, l.right - l.left - 2, 14, SWP_NOZORDER);
    }
  }
}

INT_PTR CALLBACK DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const DialogCase& d = *g_current;
  switch (msg) {
    case WM_INITDIALOG:
      for (const Face& f : d.faces) {
        HWND b = GetDlgItem(w, f.control);
        SetWindowLongPtrA(b, GWL_STYLE, (GetWindowLongPtrA(b, GWL_STYLE) & ~0x0F) | BS_OWNERDRAW);
      }
      if (d.id == IDD_MAIN) {
        SetWindowTextA(w, "Nexora Storage Utility");
        SkinList(w, IDC_DEVICE_LIST, {{"Name", 94}, {"IP", 85}, {"Netmask", 85}, {"Gateway", 85}},
                 {{"NAS-Office", "192.168.1.20", "255.255.255.0", "192.168.1.1"},
                  {"Backup", "192.168.1.35", "255.255.255.0", "192.168.1.1"}},
                 true);
        SkinList(w, IDC_SHARE_LIST, {{"Volume Name", 120}, {"Location", 111}},
                 {{"public", "Z:"}, {"media", ""}}, false);
        ListView_SetItemState(GetDlgItem(w, IDC_DEVICE_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
        SendDlgItemMessageA(w, IDC_IP, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 20));
        SendDlgItemMessageA(w, IDC_NETMASK, IPM_SETADDRESS, 0, MAKEIPADDRESS(255, 255, 255, 0));
        SendDlgItemMessageA(w, IDC_GATEWAY, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 1));
        SendDlgItemMessageA(w, IDC_DHCP_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Disable"));
        SendDlgItemMessageA(w, IDC_DHCP_COMBO, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(w, IDC_DRIVE_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Y:"));
        SendDlgItemMessageA(w, IDC_DRIVE_COMBO, CB_SETCURSEL, 0, 0);
      }
      if (d.id == IDD_LOGIN) SetDlgItemTextA(w, IDC_LOGIN_USER, "admin");
      if (d.id == IDD_LANGUAGE) {
        SendDlgItemMessageA(w, IDC_LANGUAGE_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Western European"));
        SendDlgItemMessageA(w, IDC_LANGUAGE_COMBO, CB_SETCURSEL, 0, 0);
      }
      if (d.id == IDD_RESTART_WAIT) {
        HWND bar = GetDlgItem(w, IDC_RESTART_PROGRESS);
        SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(1, 100));
        SendMessageA(bar, PBM_SETPOS, 40, 0);
        SendMessageA(bar, PBM_SETBARCOLOR, 0, RGB(4, 134, 232));
        SendMessageA(bar, PBM_SETBKCOLOR, 0, GetSysColor(COLOR_BTNFACE));
      }
      return FALSE;
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wp);
      RECT c;
      GetClientRect(w, &c);
      HBITMAP b = LoadBitmapA(Module(), MAKEINTRESOURCEA(d.background));
      BITMAP bm;
      GetObjectA(b, sizeof bm, &bm);
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, b);
      if (d.stretch) {
        StretchBlt(dc, 0, 0, c.right, c.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
      } else {
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
      }
      SelectObject(mem, old);
      DeleteDC(mem);
      DeleteObject(b);
      SetWindowLongPtrA(w, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
      if (d.id == IDD_LOGIN && (id == IDC_LOGIN_USER || id == IDC_LOGIN_PASSWORD)) return FALSE;
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      SetTextColor(reinterpret_cast<HDC>(wp), d.text);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      for (const Face& f : d.faces) {
        if (static_cast<int>(di->CtlID) == f.control) {
          Blit(di->hDC, g_active ? f.active : f.normal, di->rcItem.left, di->rcItem.top,
               di->rcItem.right - di->rcItem.left, di->rcItem.bottom - di->rcItem.top);
        }
      }
      return TRUE;
    }
  }
  return FALSE;
}

bool SaveClient(HWND w, const std::string& path) {
  RECT c;
  GetClientRect(w, &c);
  const int width = c.right, height = c.bottom;
  HDC dc = GetDC(w);
  HDC mem = CreateCompatibleDC(dc);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  GdiFlush();
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + stride * height;
  FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f != nullptr;
  if (ok) {
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    std::fwrite(bits, stride * height, 1, f);
    std::fclose(f);
  }
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(w, dc);
  std::printf("%s %dx%d\n", path.c_str(), width, height);
  return ok;
}

void Pump(int ms) {
  DWORD end = GetTickCount() + ms;
  while (GetTickCount() < end) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Sleep(10);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: resources_preview <output folder> [active]\n");
    return 2;
  }
  std::string out = argv[1];
  g_active = argc > 2 && std::strcmp(argv[2], "active") == 0;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  WNDCLASSA bar{};
  bar.lpfnWndProc = BarProc;
  bar.hInstance = Module();
  bar.lpszClassName = "NexoraPreviewBar";
  RegisterClassA(&bar);
  int failures = 0;
  for (const DialogCase& d : Dialogs()) {
    g_current = &d;
    HWND w = CreateDialogParamA(Module(), MAKEINTRESOURCEA(d.id), nullptr, DialogProc, 0);
    if (w == nullptr) {
      std::fprintf(stderr, "dialog %d: not created\n", d.id);
      ++failures;
      continue;
    }
    SetWindowPos(w, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(w);
    Pump(400);
    InvalidateRect(w, nullptr, TRUE);
    UpdateWindow(w);
    Pump(200);
    if (!SaveClient(w, out + "\\dlg_" + std::to_string(d.id) + (g_active ? "_active" : "") + ".bmp")) ++failures;
    DestroyWindow(w);
  }
  return failures == 0 ? 0 : 1;
}
