// The main window: construction, set-up, refresh, painting and the ways
// out. The device panel and the LAN settings are in device_panel.cpp and
// lan_settings.cpp.
#include "main_dlg.h"

#include <optional>

#include "dialog_skins.h"
#include "discovery.h"
#include "drive_table.h"
#include "resource.h"
#include "transport.h"
#include "ui_wait.h"

namespace {

struct ListColumn {
  const char* title;
  int width;
};
constexpr ListColumn kDeviceColumns[] = {{"Name", 94}, {"IP", 85}, {"Netmask", 85}, {"Gateway", 85}};
constexpr ListColumn kShareColumns[] = {{"Volume Name", 120}, {"Location", 111}};

}  // namespace

CMainDlg::CMainDlg(CWnd* pParent) : CSkinDialog(pParent, DialogSkinSettings(IDD_MAIN)) {
  icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_APP));
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::DoDataExchange(CDataExchange* pDX) {
  CSkinDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_EXIT, exitButton);
  DDX_Control(pDX, IDC_ABOUT, aboutButton);
  DDX_Control(pDX, IDC_APPLY, applyButton);
  DDX_Control(pDX, IDC_BT, btButton);
  DDX_Control(pDX, IDC_CLOSE, closeButton);
  DDX_Control(pDX, IDC_MINIMIZE, minimizeButton);
  DDX_Control(pDX, IDC_LANGUAGE, languageButton);
  DDX_Control(pDX, IDC_WEB, webButton);
  DDX_Control(pDX, IDC_UNMAP, unmapButton);
  DDX_Control(pDX, IDC_MAP, mapButton);
  DDX_Control(pDX, IDC_WIDGET, widgetButton);
  DDX_Control(pDX, IDC_REFRESH, refreshButton);
  DDX_Control(pDX, IDC_LAN_PORT_COMBO, lanPortCombo);
  DDX_Control(pDX, IDC_DHCP_COMBO, dhcpCombo);
  DDX_Control(pDX, IDC_DRIVE_COMBO, driveCombo);
  DDX_Control(pDX, IDC_SHARE_LIST, shareListCtrl);
  DDX_Control(pDX, IDC_DEVICE_LIST, deviceListCtrl);
  DDX_Control(pDX, IDC_IP, ipEdit);
  DDX_Control(pDX, IDC_NETMASK, netmaskEdit);
  DDX_Control(pDX, IDC_GATEWAY, gatewayEdit);
}

BOOL CMainDlg::OnInitDialog() {
  CSkinDialog::OnInitDialog();

  SetWindowText("Nexora Storage Utility");
  SetIcon(icon, TRUE);
  SetIcon(icon, FALSE);

  {
    CClientDC dc(this);
    const BYTE charset = static_cast<BYTE>(dc.GetTextCharset());
    for (CFont* font : {&deviceListFont, &shareListFont}) {
      font->CreateFont(13, 0, 0, 0, 100, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    }
  }

  deviceListCtrl.AttachScrollBars();
  shareListCtrl.AttachScrollBars();

  deviceListCtrl.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  deviceListCtrl.SetFont(&deviceListFont);
  int column = 0;
  for (const ListColumn& c : kDeviceColumns) deviceListCtrl.InsertColumn(column++, c.title, LVCFMT_LEFT, c.width);

  shareListCtrl.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  shareListCtrl.SetFont(&shareListFont);
  column = 0;
  for (const ListColumn& c : kShareColumns) shareListCtrl.InsertColumn(column++, c.title, LVCFMT_LEFT, c.width);

  deviceListCtrl.SetTextColor(RGB(0, 0, 0));
  shareListCtrl.SetTextColor(RGB(0, 0, 0));

  ScanMappedDrives();
  FillDriveLetterCombo();
  // The first discovery runs once the window shows: a posted message comes
  // after the dialog is shown, before anything the user does.
  PostMessage(kFirstDiscoveryMessage);
  return TRUE;
}

void CMainDlg::OnFirstDiscovery() {
  // The modal loop would show the window only once its queue is empty, after
  // the discovery: it is shown and painted with its empty lists now.
  ShowWindow(SW_SHOW);
  UpdateWindow();
  OnRefresh();
}

void CMainDlg::OnRefresh() {
  deviceListCtrl.DeleteAllItems();
  shareListCtrl.DeleteAllItems();
  lanPortCombo.ResetContent();
  lanPortCombo.EnableWindow(FALSE);
  ipEdit.ClearAddress();
  netmaskEdit.ClearAddress();
  gatewayEdit.ClearAddress();

  // Discovery blocks this thread; the button stays disabled meanwhile.
  refreshButton.EnableWindow(FALSE);
  DiscoverDevices(kStorageDeviceClass, kStorageDeviceSubclass);
  refreshButton.EnableWindow(TRUE);

  int index = 0;
  for (NasDevice* d = DeviceList.head; d != nullptr; d = d->next) {
    const int row = deviceListCtrl.InsertItem(index, d->name);
    if (row < 0) continue;
    deviceListCtrl.SetItemText(row, 1, d->ipText);
    deviceListCtrl.SetItemText(row, 2, d->netmask);
    deviceListCtrl.SetItemText(row, 3, d->gateway);
    ++index;
  }
  deviceSelected = 0;
  panelRow = -1;
}

void CMainDlg::RunRefreshSequence() {
  ScanMappedDrives();
  FillDriveLetterCombo();
  OnRefresh();  // ends with no device selected
}

void CMainDlg::OnExit() {
  FreeDeviceRecords();
  CloseTransport();
  DestroyWindow();
  // The modal loop notices the window is gone at its next message.
  ::PostMessageA(nullptr, WM_NULL, 0, 0);
}

void CMainDlg::OnClose() {
  CloseTransport();
  // The dialog's default handling turns WM_CLOSE into a cancel.
  Default();
}

void CMainDlg::OnPaint() {
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int cxIcon = ::GetSystemMetrics(SM_CXICON);
  const int cyIcon = ::GetSystemMetrics(SM_CYICON);
  CRect rect;
  GetClientRect(&rect);
  dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, icon);
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Device operations and discoveries show the wait cursor while they run.
  std::optional<DeviceOperationScope> busy;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (code == BN_CLICKED) {
        if (id != IDC_EXIT && id != IDC_ABOUT) busy.emplace();
        switch (id) {
          case IDC_REFRESH: OnRefresh(); return 0;
          case IDC_EXIT: OnExit(); return 0;
          case IDC_APPLY: OnApplyLanSettings(); return 0;
          case IDC_WEB: OnOpenWebConfig(); return 0;
          case IDC_MAP: OnMapDrive(); return 0;
          case IDC_UNMAP: OnUnmapDrive(); return 0;
          case IDC_ABOUT: OnAbout(); return 0;
          case IDC_LANGUAGE: OnLanguage(); return 0;
          case IDC_BT: OnBitTorrent(); return 0;
          case IDC_WIDGET: OnWidget(); return 0;
          default: break;  // 1027 and 1028: the skinned frame
        }
      } else if (code == CBN_SELCHANGE) {
        if (id == IDC_DHCP_COMBO) {
          OnDhcpModeChange();
          return 0;
        }
        if (id == IDC_LAN_PORT_COMBO) {
          OnLanPortChange();
          return 0;
        }
      }
      break;
    }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr && header->idFrom == IDC_DEVICE_LIST && header->code == NM_CLICK) {
        busy.emplace();
        OnClickDeviceList();
        return 0;
      }
      if (header != nullptr && header->idFrom == IDC_DEVICE_LIST && header->code == LVN_ITEMCHANGED) {
        OnDeviceListItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
        return 0;
      }
      break;
    }
    case WM_TIMER:
      if (wParam == kKeyboardSelectionTimer) {
        OnKeyboardSelectionSettled();
        return 0;
      }
      break;
    case WM_PAINT:
      if (IsIconic()) {
        OnPaint();
        return 0;
      }
      break;
    case kFirstDiscoveryMessage:
      busy.emplace();
      OnFirstDiscovery();
      return 0;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(icon);
    case WM_CLOSE:
      OnClose();
      return 0;
    default:
      break;
  }
  return CSkinDialog::WindowProc(message, wParam, lParam);
}
