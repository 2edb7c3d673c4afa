#include "skin_dialogs.h"

#include <cstdio>

namespace skintest {

MainStyleDialog::MainStyleDialog(int deviceRows, int shareRows)
    : CSkinDialog(nullptr, DialogSkinSettings(IDD_MAIN)), m_deviceRows(deviceRows), m_shareRows(shareRows) {}

void MainStyleDialog::DoDataExchange(CDataExchange* pDX) {
  CSkinDialog::DoDataExchange(pDX);
  DDX_Control(pDX, 1000, devices);
  DDX_Control(pDX, 1001, shares);
}

BOOL MainStyleDialog::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  listFont.CreateFont(13, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
  devices.AttachScrollBars();
  shares.AttachScrollBars();
  devices.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  devices.SetFont(&listFont);
  devices.InsertColumn(0, "Name", LVCFMT_LEFT, 94);
  devices.InsertColumn(1, "IP", LVCFMT_LEFT, 85);
  devices.InsertColumn(2, "Netmask", LVCFMT_LEFT, 85);
  devices.InsertColumn(3, "Gateway", LVCFMT_LEFT, 85);
  shares.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  shares.SetFont(&listFont);
  shares.InsertColumn(0, "Volume Name", LVCFMT_LEFT, 120);
  shares.InsertColumn(1, "Location", LVCFMT_LEFT, 111);
  devices.SetTextColor(RGB(0, 0, 0));
  shares.SetTextColor(RGB(0, 0, 0));
  for (int i = 0; i < m_deviceRows; ++i) {
    char name[32], ip[32];
    std::snprintf(name, sizeof(name), "KX-7100-%02d", i + 1);
    std::snprintf(ip, sizeof(ip), "192.168.1.%d", 10 + i);
    devices.InsertItem(i, name);
    devices.SetItemText(i, 1, ip);
    devices.SetItemText(i, 2, "255.255.255.0");
    devices.SetItemText(i, 3, "192.168.1.1");
  }
  for (int i = 0; i < m_shareRows; ++i) {
    char name[32];
    std::snprintf(name, sizeof(name), "share%d", i + 1);
    shares.InsertItem(i, name);
    shares.SetItemText(i, 1, "");
  }
  return TRUE;
}

}  // namespace skintest
