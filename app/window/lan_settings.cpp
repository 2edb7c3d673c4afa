// The main window's LAN settings: the DHCP and LAN port combos, staging of
// the edited values into the LAN configuration record, their validation and
// the apply button.
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

CIPAddressCtrl* CMainDlg::AddressControl(AddressField kind) {
  switch (kind) {
    case AddressField::Address: return &ipEdit;
    case AddressField::Netmask: return &netmaskEdit;
    case AddressField::Gateway: return &gatewayEdit;
    default: return nullptr;
  }
}

void CMainDlg::ShowLanMessage(const LanMessage& m) { MessageBox(m.text, m.caption, MessageBoxIcon(m.icon)); }

void CMainDlg::ShowRefusal(const LanCheckResult& result) {
  ShowLanMessage({result.message, result.caption, result.icon});
  CIPAddressCtrl* control = AddressControl(result.control);
  if (control != nullptr && result.field >= 0) control->SetFieldFocus(static_cast<WORD>(result.field));
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
  LanPortValues values;
  ReadFields(ipEdit, values.address);
  ReadFields(netmaskEdit, values.netmask);
  ReadFields(gatewayEdit, values.gateway);
  // The DHCP combo always has "Disable" or "Enable" selected once a device
  // was clicked; before that nothing is applied.
  values.dhcp = dhcpCombo.GetCurSel() == 1;
  StageLanPortSettings(CommandBuffers.lanConfig, portName, values);
}

bool CMainDlg::CheckAddressFields(int kind, int f1, int f2, int f3, int f4) {
  const AddressField field = static_cast<AddressField>(kind);
  CIPAddressCtrl* control = AddressControl(field);
  if (control == nullptr) return true;
  const int f[4] = {f1, f2, f3, f4};
  const LanCheckResult result =
      CheckAddressFieldsRule(field, f, field == AddressField::Gateway && control->IsBlank());
  if (result.ok) return true;
  ShowRefusal(result);
  return false;
}

bool CMainDlg::ValidateLanSettings() {
  int a[4], m[4], g[4];
  ReadFields(ipEdit, a);
  ReadFields(netmaskEdit, m);
  ReadFields(gatewayEdit, g);
  const LanCheckResult result = ValidateStaticSettings(ipEdit.IsBlank(), a, netmaskEdit.IsBlank(), m,
                                                       gatewayEdit.IsBlank(), g, &CommandBuffers);
  if (result.ok) return true;
  ShowRefusal(result);
  return false;
}

void CMainDlg::OnApplyLanSettings() {
  LoginForAdmin = 1;
  if (deviceSelected == 0) {
    ShowLanMessage(kNoDeviceSelectedMessage);
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
          ShowLanMessage(kDhcpFailedMessage);
          return;
        }
        ShowLanMessage(kDhcpEnabledMessage);
        break;
      default:
        return;
    }
  }
  OnRefresh();
}
