// nexora-gallery: opens every dialog of the program with its skin, the way
// the program shows it (backgrounds, skin buttons, skinned lists with sample
// rows, the progress bar), and saves each window as a BMP file, so that
// anyone can look at every window without a device on the network.
//
//   nexora-gallery.exe <output folder> [--active] [template id ...]
//
// Without ids, every template of the skin table. Files:
// <folder>/<template id>.bmp (<template id>_active.bmp with --active, where
// every skin button shows its active face), the window as it is on screen
// (caption and frame included; outside the main window's rounded region
// the desktop shows through). Exit code 0 when every window was saved.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "bmp_file.h"
#include "framework.h"
#include "resource.h"
#include "dialog_skins.h"
#include "skin_button.h"
#include "skin_list.h"
#include "skin_progress.h"

namespace {

constexpr UINT_PTR kCaptureTimer = 0x6A11;
constexpr UINT kCaptureDelayMs = 400;

std::string g_folder;
bool g_active = false;  // --active: buttons show their active faces
int g_failures = 0;

// The window's rectangle as it is on screen, read from the desktop.
bool CaptureWindow(HWND window, const std::string& path) {
  RECT r;
  ::GetWindowRect(window, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first, as bmp::Save takes them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) {
    ::ReleaseDC(nullptr, screen);
    return false;
  }
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(memory, dib);
  ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> pixels(p, p + static_cast<size_t>(width) * height);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::DeleteObject(dib);
  ::ReleaseDC(nullptr, screen);
  return bmp::Save(path, width, height, pixels);
}

// The template's skin; in active mode every skin button shows its active
// face, so that both faces of every button can be judged in place.
SkinDialogSettings GallerySettings(UINT templateId) {
  SkinDialogSettings settings = DialogSkinSettings(templateId);
  if (g_active)
    for (SkinButtonFaces& b : settings.buttons) b.normal = b.active;
  return settings;
}

// Every gallery dialog: a skinned dialog of its template that saves itself
// once it has been shown and painted, then closes.
class GalleryDialog : public CSkinDialog {
public:
  explicit GalleryDialog(UINT templateId) : CSkinDialog(nullptr, GallerySettings(templateId)) {}

protected:
  BOOL OnInitDialog() override {
    CSkinDialog::OnInitDialog();
    // Caption-less templates carry no title; name the window for the task bar.
    SetTimer(kCaptureTimer, kCaptureDelayMs);
    return TRUE;
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER && wParam == kCaptureTimer) {
      KillTimer(kCaptureTimer);
      // Skin buttons show their plain faces: a dialog whose focus starts on
      // one (its default button) is taken without the focus rectangle.
      if (dynamic_cast<CSkinButton*>(CWnd::FromHandlePermanent(::GetFocus())) != nullptr) ::SetFocus(nullptr);
      ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      ::RedrawWindow(m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      ::Sleep(50);
      char name[24];
      std::snprintf(name, sizeof(name), "%u%s", GetTemplateID(), g_active ? "_active" : "");
      std::string path = g_folder + "\\" + name + ".bmp";
      if (CaptureWindow(m_hWnd, path)) {
        std::printf("saved %s\n", path.c_str());
      } else {
        std::printf("could not save %s\n", path.c_str());
        ++g_failures;
      }
      EndDialog(IDOK);
      return 0;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
  }
};

struct Column {
  const char* title;
  int width;
};

void FillList(CSkinListCtrl& list, CFont& font, const std::vector<Column>& columns,
              const std::vector<std::vector<const char*>>& rows, int selected) {
  list.AttachScrollBars();
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  list.SetFont(&font);
  int i = 0;
  for (const Column& c : columns) list.InsertColumn(i++, c.title, LVCFMT_LEFT, c.width);
  list.SetTextColor(RGB(0, 0, 0));
  for (size_t r = 0; r < rows.size(); ++r) {
    list.InsertItem(static_cast<int>(r), rows[r][0]);
    for (size_t c = 1; c < rows[r].size(); ++c) list.SetItemText(static_cast<int>(r), static_cast<int>(c), rows[r][c]);
  }
  if (selected >= 0) list.SetItemState(selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// The main window with its two lists as the program fills them.
class MainGallery : public GalleryDialog {
public:
  MainGallery() : GalleryDialog(IDD_MAIN) {}

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    GalleryDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DEVICE_LIST, m_devices);
    DDX_Control(pDX, IDC_SHARE_LIST, m_shares);
  }
  BOOL OnInitDialog() override {
    GalleryDialog::OnInitDialog();
    SetWindowText("Nexora Storage Utility");
    CClientDC dc(this);
    const BYTE charset = static_cast<BYTE>(dc.GetTextCharset());
    for (CFont* font : {&m_deviceFont, &m_shareFont})
      font->CreateFont(13, 0, 0, 0, 100, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    FillList(m_devices, m_deviceFont, {{"Name", 94}, {"IP", 85}, {"Netmask", 85}, {"Gateway", 85}},
             {{"NAS-Office", "192.168.1.20", "255.255.255.0", "192.168.1.1"},
              {"NAS-Media", "192.168.1.31", "255.255.255.0", "192.168.1.1"},
              {"KX7200-Lab", "10.0.0.7", "255.0.0.0", "10.0.0.1"}},
             1);
    FillList(m_shares, m_shareFont, {{"Volume Name", 120}, {"Location", 111}},
             {{"public", "Z:"}, {"music", ""}, {"backup", "Y:"}}, 0);
    SendDlgItemMessage(IDC_IP, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 31));
    SendDlgItemMessage(IDC_NETMASK, IPM_SETADDRESS, 0, MAKEIPADDRESS(255, 255, 255, 0));
    SendDlgItemMessage(IDC_GATEWAY, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 1));
    SendDlgItemMessage(IDC_DHCP_COMBO, CB_SETCURSEL, 0, 0);
    const char* letters[] = {"X:", "W:", "V:"};
    for (const char* l : letters) SendDlgItemMessage(IDC_DRIVE_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l));
    SendDlgItemMessage(IDC_DRIVE_COMBO, CB_SETCURSEL, 0, 0);
    return TRUE;
  }

private:
  CSkinListCtrl m_shares;
  CSkinListCtrl m_devices;
  CFont m_deviceFont;
  CFont m_shareFont;
};

// The restart wait with its bar at about half.
class RestartGallery : public GalleryDialog {
public:
  RestartGallery() : GalleryDialog(IDD_RESTART_WAIT) {}

protected:
  void DoDataExchange(CDataExchange* pDX) override {
    GalleryDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RESTART_PROGRESS, m_progress);
  }
  BOOL OnInitDialog() override {
    GalleryDialog::OnInitDialog();
    m_progress.SetRange(1, 100);
    m_progress.SetStep(1);
    m_progress.SetPos(50);
    return TRUE;
  }

private:
  CSkinProgressCtrl m_progress;
};

class LoginGallery : public GalleryDialog {
public:
  LoginGallery() : GalleryDialog(IDD_LOGIN) {}

protected:
  BOOL OnInitDialog() override {
    GalleryDialog::OnInitDialog();
    SetDlgItemText(IDC_LOGIN_USER, "admin");
    return TRUE;
  }
};

class LanguageGallery : public GalleryDialog {
public:
  LanguageGallery() : GalleryDialog(IDD_LANGUAGE) {}

protected:
  BOOL OnInitDialog() override {
    GalleryDialog::OnInitDialog();
    SendDlgItemMessage(IDC_LANGUAGE_COMBO, CB_SETCURSEL, 2, 0);
    return TRUE;
  }
};

bool ShowOne(UINT id) {
  INT_PTR result = -1;
  switch (id) {
    case IDD_MAIN: {
      MainGallery d;
      result = d.DoModal();
      break;
    }
    case IDD_RESTART_WAIT: {
      RestartGallery d;
      result = d.DoModal();
      break;
    }
    case IDD_LOGIN: {
      LoginGallery d;
      result = d.DoModal();
      break;
    }
    case IDD_LANGUAGE: {
      LanguageGallery d;
      result = d.DoModal();
      break;
    }
    default: {
      GalleryDialog d(id);
      result = d.DoModal();
      break;
    }
  }
  if (result == -1) {
    std::printf("template %u could not be shown\n", id);
    ++g_failures;
    return false;
  }
  return true;
}

}  // namespace

class CGalleryApp : public CWinApp {
public:
  CGalleryApp() : CWinApp("Nexora Storage Utility") {}

  BOOL InitInstance() override {
    int argc = __argc;
    char** argv = __argv;
    if (argc < 2) {
      std::printf("usage: nexora-gallery.exe <output folder> [--active] [template id ...]\n");
      m_nExitCode = 2;
      return FALSE;
    }
    g_folder = argv[1];
    ::CreateDirectoryA(g_folder.c_str(), nullptr);
    std::vector<UINT> ids;
    for (int i = 2; i < argc; ++i) {
      if (std::strcmp(argv[i], "--active") == 0)
        g_active = true;
      else
        ids.push_back(static_cast<UINT>(std::strtoul(argv[i], nullptr, 10)));
    }
    if (ids.empty()) ids.assign(std::begin(kSkinnedTemplates), std::end(kSkinnedTemplates));
    // The program's dialogs are white-on-white by default outside the skin.
    SetDialogBkColor(RGB(255, 255, 255), RGB(255, 255, 255));
    for (UINT id : ids) ShowOne(id);
    std::fflush(stdout);
    m_nExitCode = g_failures == 0 ? 0 : 1;
    return FALSE;
  }
};

CGalleryApp theApp;
