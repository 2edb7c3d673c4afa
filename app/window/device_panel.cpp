// The main window's device panel: what a click on a device shows, the
// shares list with the local drive letters, and the drive-letter combo.
#include <algorithm>
#include <cstring>
#include <string>

#include "app_state.h"
#include "clock.h"
#include "commands.h"
#include "discovery.h"
#include "drive_table.h"
#include "lan_rules.h"
#include "main_dlg.h"
#include "share_name_text.h"
#include "transport.h"

namespace {

bool IsDottedZero(const uint8_t octets[4]) {
  return octets[0] == 0 && octets[1] == 0 && octets[2] == 0 && octets[3] == 0;
}

}  // namespace

void CMainDlg::ShowAddress(CIPAddressCtrl& control, const char* text, bool zeroBlank) {
  uint8_t octets[4];
  if (text == nullptr || !ParseAddressText(text, octets) || (zeroBlank && IsDottedZero(octets))) {
    control.ClearAddress();
    return;
  }
  control.SetAddress(octets[0], octets[1], octets[2], octets[3]);
}

void CMainDlg::EnableAddressControls(BOOL enable) {
  ipEdit.EnableWindow(enable);
  gatewayEdit.EnableWindow(enable);
  netmaskEdit.EnableWindow(enable);
}

void CMainDlg::ShowDhcpMode(const char* mode) {
  if (mode != nullptr && mode[0] == '1') {
    dhcpCombo.SetCurSel(1);
    EnableAddressControls(FALSE);
  } else {
    dhcpCombo.SetCurSel(0);
    EnableAddressControls(TRUE);
  }
}

int CMainDlg::FirstSelectedFromTop(const CListCtrl& list) {
  const int count = list.GetItemCount();
  for (int i = std::max(0, list.GetTopIndex()); i < count; ++i)
    if (list.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) return i;
  return -1;
}

int CMainDlg::SelectedDeviceRow() const { return FirstSelectedFromTop(deviceListCtrl); }

void CMainDlg::OnClickDeviceList() {
  // The clicked row: the first selected one from the top of the view. A
  // click on empty space, or on a row whose device is gone, changes nothing.
  const int item = SelectedDeviceRow();
  if (item < 0) return;
  char address[16], netmask[16], gateway[16], name[256];
  deviceListCtrl.GetItemText(item, 1, address, sizeof address);
  deviceListCtrl.GetItemText(item, 2, netmask, sizeof netmask);
  deviceListCtrl.GetItemText(item, 3, gateway, sizeof gateway);
  deviceListCtrl.GetItemText(item, 0, name, sizeof name);
  NasDevice* device = FindDeviceByAddress(address);
  if (device == nullptr) return;

  deviceSelected = 1;
  panelRow = item;
  deviceListCtrl.SetFocus();

  CopyTextField(CurrentDeviceAddress, address);
  CopyPaddedField(CommandBuffers.selectedIp, address);
  CopyTextField(selectedModel, device->model);
  char mode[sizeof device->dhcpFlag];
  CopyTextField(mode, device->dhcpFlag);

  LanConfig& config = CommandBuffers.lanConfig;
  std::memset(config.port[0].name, 0, sizeof config.port[0].name);
  QueryLanConfig();

  if (!IsLanConfigPresent(config)) {
    // One port (or no answer): the list's values stand for the first half.
    CopyTextField(config.port[0].address, address);
    CopyTextField(config.port[0].netmask, netmask);
    CopyTextField(config.port[0].gateway, gateway);
    CopyTextField(config.port[0].mode, mode);
    lanPortCombo.ResetContent();
    lanPortCombo.EnableWindow(FALSE);
  } else {
    char first[sizeof config.port[0].name + 1] = {};
    char second[sizeof config.port[1].name + 1] = {};
    std::memcpy(first, config.port[0].name, sizeof config.port[0].name);
    std::memcpy(second, config.port[1].name, sizeof config.port[1].name);
    lanPortCombo.EnableWindow(TRUE);
    lanPortCombo.ResetContent();
    lanPortCombo.AddString(first);
    if (HasSecondLanPort(config)) lanPortCombo.AddString(second);
    // The port the device answered from comes first.
    const int selection = LanPortHalf(DefaultLanPort(config, address));
    lanPortCombo.SetCurSel(selection);
    lanPortIndex = selection;
  }

  ShowDhcpMode(mode);
  ShowAddress(ipEdit, address, false);
  ShowAddress(netmaskEdit, netmask, false);
  ShowAddress(gatewayEdit, gateway, true);

  QueryShareList();
  std::memset(CommandBuffers.sslMode, 0, sizeof CommandBuffers.sslMode);
  QuerySslMode();

  FillShareList(name, address, true, HostMatch::NameOrAddressNoCase);
}

void CMainDlg::OnDeviceListItemChanged(const NMLISTVIEW& change) {
  // Only a row newly selected by a key (arrows, Home, End, paging, typing a
  // name). A click selects its row too, but its NM_CLICK runs the selection;
  // and the list's painting takes a row's selection away and gives it back.
  const bool newlySelected = (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
                             !(change.uOldState & LVIS_SELECTED);
  const UINT listMessage = deviceListCtrl.GetCurrentMessage()->message;
  if (!newlySelected || (listMessage != WM_KEYDOWN && listMessage != WM_CHAR)) return;
  // Setting the timer again restarts it: only a selection that stays put
  // for the whole delay reaches the device.
  SetTimer(kKeyboardSelectionTimer, ActiveClock().TimerPeriod(kKeyboardSelectionDelayMs));
}

void CMainDlg::OnKeyboardSelectionSettled() {
  // The timer keeps running while another operation's dialog or message box
  // is open (this window is disabled then), so that the device does not
  // change under that operation.
  if (!IsWindowEnabled()) return;
  KillTimer(kKeyboardSelectionTimer);
  const int row = SelectedDeviceRow();
  if (row < 0 || row == panelRow) return;
  OnClickDeviceList();
}

void CMainDlg::FillShareList(const char* deviceName, const char* deviceAddress, bool skipRecycleBin,
                             HostMatch mode) {
  shareListCtrl.DeleteAllItems();
  shareListCtrl.RedrawWindow();
  int index = 0;
  for (const ShareEntry* share = ShareList.head; share != nullptr; share = share->next) {
    if (skipRecycleBin && IsRecycleBinShare(share->name)) continue;
    const std::string shown = ShareNameForDisplay(share->name);
    const int row = shareListCtrl.InsertItem(index, shown.c_str());
    if (row < 0) continue;
    ++index;
    if (const char* drive = MappedDriveForShare(shown.c_str(), deviceName, deviceAddress, mode))
      shareListCtrl.SetItemText(row, 1, drive);
  }
}

void CMainDlg::FillDriveLetterCombo() {
  driveCombo.ResetContent();
  const DriveLetterComboContent content = BuildDriveLetterCombo();
  for (const DriveLetterComboItem& item : content.items) driveCombo.AddString(item.text.c_str());
  if (content.selected >= 0) driveCombo.SetCurSel(content.selected);
}
