// The main window's LAN settings: the DHCP and LAN port combos, staging of
// the edited values into the LAN configuration record, their validation and
// the apply button.
#include <cstdio>
#include <cstring>
#include <string>

#include "app_state.h"
#include "commands.h"
#include "lan_rules.h"
#include "login_dlg.h"
#include "main_dlg.h"

namespace {

constexpr const char* kEnable = "Enable";

// The four fields of an address control; blank fields read 0.
void ReadFields(const CIPAddressCtrl& control, int f[4]) {
  BYTE b[4] = {0, 0, 0, 0};
  control.GetAddress(b[0], b[1], b[2], b[3]);
  for (int i = 0; i < 4; ++i) f[i] = b[i];
}

}  // namespace

CIPAddressCtrl* CMainDlg::AddressControl(int kind) {
  switch (kind) {
  case 1: return &ipEdit;
  case 2: return &netmaskEdit;
  case 3: return &gatewayEdit;
  default: return nullptr;
  }
}

void CMainDlg::OnDhcpModeChange() {
  const int selection = dhcpCombo.GetCurSel();
  if (selection < 0) return;
  std::string text;
  dhcpCombo.GetLBText(selection, text);
  EnableAddressControls(text == kEnable ? FALSE : TRUE);
}

void CMainDlg::OnLanPortChange() {
  const int selection = lanPortCombo.GetCurSel();
  if (selection == lanPortIndex) return;
  lanPortIndex = selection;

  // Keep what was edited for the port being left, then show the other.
  const LanConfig& config = CommandBuffers.lanConfig;
  char address[17] = {}, netmask[17] = {}, gateway[17] = {}, mode[3] = {};
  auto load = [&](const LanPortConfig& half) {
    std::memcpy(address, half.address, sizeof half.address);
    std::memcpy(netmask, half.netmask, sizeof half.netmask);
    std::memcpy(gateway, half.gateway, sizeof half.gateway);
    std::memcpy(mode, half.mode, sizeof half.mode);
  };
  if (selection == 0) {
    StageLanPort("LAN2");
    load(config.port[0]);
  } else if (selection == 1) {
    StageLanPort("LAN1");
    load(config.port[1]);
  }

  ShowDhcpMode(mode);
  ShowAddress(ipEdit, address, false);
  ShowAddress(netmaskEdit, netmask, false);
  ShowAddress(gatewayEdit, gateway, true);

  FillShareList("", address, false, HostMatch::AddressOnly);
}

void CMainDlg::StageLanPort(const char* portName) {
  CIPAddressCtrl* controls[3] = {&ipEdit, &netmaskEdit, &gatewayEdit};
  char texts[3][16];
  for (int i = 0; i < 3; ++i) {
    int f[4];
    ReadFields(*controls[i], f);
    std::snprintf(texts[i], sizeof texts[i], "%d.%d.%d.%d", f[0], f[1], f[2], f[3]);
  }
  // The DHCP combo always has "Disable" or "Enable" selected once a device
  // was clicked; before that nothing is applied.
  const char* mode = dhcpCombo.GetCurSel() == 1 ? "1" : "0";

  LanPortConfig& half = CommandBuffers.lanConfig.port[std::strcmp(portName ? portName : "", "LAN2") == 0 ? 1 : 0];
  CopyTextField(half.address, texts[0]);
  CopyTextField(half.netmask, texts[1]);
  CopyTextField(half.gateway, texts[2]);
  CopyTextField(half.mode, mode);
}

bool CMainDlg::CheckAddressFields(int kind, int f1, int f2, int f3, int f4) {
  CIPAddressCtrl* control = AddressControl(kind);
  if (control == nullptr) return true;
  const int f[4] = {f1, f2, f3, f4};
  const LanCheckResult result = CheckAddressFieldsRule(kind, f, kind == 3 && control->IsBlank());
  if (result.ok) return true;
  MessageBox(result.message, "Error", MB_ICONINFORMATION);
  control->SetFieldFocus(static_cast<WORD>(result.field));
  return false;
}

bool CMainDlg::ValidateLanSettings() {
  if (ipEdit.IsBlank()) {
    MessageBox("Please input IP address!", "Warning", MB_ICONEXCLAMATION);
    return false;
  }
  if (netmaskEdit.IsBlank()) {
    MessageBox("Please input net mask address!", "Warning", MB_ICONEXCLAMATION);
    return false;
  }
  int a[4];
  ReadFields(ipEdit, a);
  if (a[0] == 127) {
    MessageBox("IP address input error. Please try again.", "Warning", MB_ICONEXCLAMATION);
    return false;
  }
  if (!CheckAddressFields(1, a[0], a[1], a[2], a[3])) return false;
  const LanPortConfig& first = CommandBuffers.lanConfig.port[0];
  CopyPaddedField(CommandBuffers.targetIp, first.address);

  int m[4];
  ReadFields(netmaskEdit, m);
  if (!CheckAddressFields(2, m[0], m[1], m[2], m[3])) return false;
  CopyPaddedField(CommandBuffers.netmask, first.netmask);

  int g[4];
  ReadFields(gatewayEdit, g);
  const bool linkLocal = a[0] == 169 && a[1] == 254;
  if (!linkLocal && !CheckAddressFields(3, g[0], g[1], g[2], g[3])) return false;
  if (!IsContiguousNetmask(m[0], m[1], m[2], m[3])) {
    MessageBox("Netmask address input invalid. Please try again.", "Error", MB_ICONHAND);
    return false;
  }
  if (IsBadTcpIpConfig(a, m, g)) {
    MessageBox("You enter incorrect TCP/IP configuration. Please try again.", "Error", MB_ICONHAND);
    return false;
  }
  if (g[0] == 0 && g[1] == 0 && g[2] == 0 && g[3] == 0)
    std::memset(CommandBuffers.gateway, 0, sizeof CommandBuffers.gateway);
  else
    CopyPaddedField(CommandBuffers.gateway, first.gateway);
  return true;
}

void CMainDlg::OnApplyLanSettings() {
  LoginForAdmin = 1;
  if (deviceSelected == 0) {
    MessageBox("Please select a device in the above section.", "Error", MB_ICONHAND);
    return;
  }
  std::string port;
  const int portSelection = lanPortCombo.GetCurSel();
  if (portSelection >= 0) lanPortCombo.GetLBText(portSelection, port);
  StageLanPort(port.c_str());

  if (IsLanConfigPresent(CommandBuffers.lanConfig)) {
    // Two ports: the whole record travels, both halves with their modes.
    if (!ValidateLanSettings() || !ConfirmAdminPassword(this)) return;
    ApplyLanSettings();
  } else {
    switch (dhcpCombo.GetCurSel()) {
    case 0:
      if (!ValidateLanSettings() || !ConfirmAdminPassword(this)) return;
      ApplyLanSettings();
      break;
    case 1:
      if (!ConfirmAdminPassword(this)) return;
      if (!SetDhcpClient()) {
        MessageBox("Set to dhcp client fail.", "Error", MB_ICONHAND);
        return;
      }
      MessageBox("DHCP client enabled.", "Confirm", MB_ICONINFORMATION);
      break;
    default:
      return;
    }
  }
  OnRefresh();
}
