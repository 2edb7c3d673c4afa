// The device panel: what a click on a device shows, and the shares list
// with the drive letters of this computer; a selection moved with the
// keyboard.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "commands.h"
#include "discovery.h"

using DevicePanelTest = AppTest;

namespace {
const char kTwoPorts[] = "LAN1:192.168.0.32:255.255.255.0:192.168.0.1:0:LAN2:10.0.0.2:255.0.0.0::0";
}

TEST_F(DevicePanelTest, ClickOnSinglePortDeviceShowsItsSettingsAndQueriesIt) {
  SimDevice device;
  device.model = "NX-7200";
  device.ssl = "1";
  device.shares = "HDD_1:USB";
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    net.requests.clear();
    ClickDevice(dlg, 0);
    EXPECT_EQ("3/20 3/3 3/19", net.Trace()) << "LAN configuration, shares, SSL mode";
    for (const SeenRequest& r : net.requests) EXPECT_EQ("192.168.0.32", r.target);

    EXPECT_EQ(1, dlg.deviceSelected);
    EXPECT_EQ(dlg.deviceListCtrl.m_hWnd, ::GetFocus());
    EXPECT_STREQ("192.168.0.32", CurrentDeviceAddress);
    EXPECT_STREQ("192.168.0.32", CommandBuffers.selectedIp);
    EXPECT_STREQ("NX-7200", dlg.selectedModel);
    EXPECT_STREQ("1", CommandBuffers.sslMode);

    EXPECT_EQ("192.168.0.32", AddressText(dlg.ipEdit));
    EXPECT_EQ("255.255.255.0", AddressText(dlg.netmaskEdit));
    EXPECT_EQ("192.168.0.1", AddressText(dlg.gatewayEdit));
    EXPECT_EQ(0, dlg.dhcpCombo.GetCurSel()) << "Disable";
    EXPECT_TRUE(dlg.ipEdit.IsWindowEnabled() && dlg.netmaskEdit.IsWindowEnabled() && dlg.gatewayEdit.IsWindowEnabled());

    EXPECT_EQ(0, dlg.lanPortCombo.GetCount());
    EXPECT_FALSE(dlg.lanPortCombo.IsWindowEnabled());
    const LanPortConfig& first = CommandBuffers.lanConfig.port[0];
    EXPECT_STREQ("", first.name);
    EXPECT_STREQ("192.168.0.32", first.address);
    EXPECT_STREQ("255.255.255.0", first.netmask);
    EXPECT_STREQ("192.168.0.1", first.gateway);
    EXPECT_STREQ("0", std::string(first.mode, 1).c_str());

    ASSERT_EQ(2, dlg.shareListCtrl.GetItemCount());
    EXPECT_EQ("HDD_1", ItemText(dlg.shareListCtrl, 0, 0));
    EXPECT_EQ("USB", ItemText(dlg.shareListCtrl, 1, 0));
  });
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
}

TEST_F(DevicePanelTest, TwoPortDeviceListsBothPortsAndSelectsTheOneItAnsweredFrom) {
  struct Case {
    const char* listAddress;
    int selection;
  };
  for (const Case& c : {Case{"192.168.0.32", 0}, Case{"10.0.0.2", 1}}) {
    SCOPED_TRACE(c.listAddress);
    net.devices.clear();
    SimDevice device;
    device.ip = c.listAddress;
    device.lanConfig = kTwoPorts;
    net.Add(device);
    lanPortIndex = -7;
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      ASSERT_EQ(2, dlg.lanPortCombo.GetCount());
      EXPECT_EQ("LAN1", ComboText(dlg.lanPortCombo, 0));
      EXPECT_EQ("LAN2", ComboText(dlg.lanPortCombo, 1));
      EXPECT_EQ(c.selection, dlg.lanPortCombo.GetCurSel());
      EXPECT_EQ(c.selection, lanPortIndex);
      EXPECT_TRUE(dlg.lanPortCombo.IsWindowEnabled());
      EXPECT_FALSE(dlg.lanPortCombo.IsWindowVisible()) << "the port combo stays hidden";
      // The panel shows the list's columns whichever port they belong to.
      EXPECT_EQ(c.listAddress, AddressText(dlg.ipEdit));
      EXPECT_STREQ("10.0.0.2", CommandBuffers.lanConfig.port[1].address);
    });
  }
}

TEST_F(DevicePanelTest, DeviceWithAnotherFirstPortNameGetsOneItem) {
  SimDevice device;
  device.lanConfig = "eth0:192.168.0.32:255.255.255.0:192.168.0.1:0";
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ASSERT_EQ(1, dlg.lanPortCombo.GetCount());
    EXPECT_EQ("eth0", ComboText(dlg.lanPortCombo, 0));
    EXPECT_EQ(0, dlg.lanPortCombo.GetCurSel());
    EXPECT_TRUE(dlg.lanPortCombo.IsWindowEnabled());
  });
}

TEST_F(DevicePanelTest, ModeTextDecidesTheDhcpChoiceAndTheAddressControls) {
  struct Case {
    char flag;
    int selection;
    bool enabled;
  };
  for (const Case& c : {Case{'1', 1, false}, Case{'0', 0, true}, Case{'2', 0, true}, Case{'\0', 0, true}}) {
    SCOPED_TRACE(std::string("flag ") + std::to_string(int(c.flag)));
    net.devices.clear();
    SimDevice device;
    device.dhcpFlag = c.flag;
    net.Add(device);
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      EXPECT_EQ(c.selection, dlg.dhcpCombo.GetCurSel());
      EXPECT_EQ(c.enabled, bool(dlg.ipEdit.IsWindowEnabled()));
      EXPECT_EQ(c.enabled, bool(dlg.netmaskEdit.IsWindowEnabled()));
      EXPECT_EQ(c.enabled, bool(dlg.gatewayEdit.IsWindowEnabled()));
    });
  }
}

TEST_F(DevicePanelTest, GatewayOfZerosOrNothingIsShownBlank) {
  for (const char* gateway : {"0.0.0.0", ""}) {
    SCOPED_TRACE(std::string("gateway \"") + gateway + "\"");
    net.devices.clear();
    SimDevice device;
    device.gateway = gateway;
    net.Add(device);
    RunMain([&](CMainDlg& dlg) {
      SetAddressText(dlg.gatewayEdit, "1.2.3.4");
      ClickDevice(dlg, 0);
      EXPECT_TRUE(dlg.gatewayEdit.IsBlank()) << "shows " << AddressText(dlg.gatewayEdit);
      EXPECT_EQ("192.168.0.32", AddressText(dlg.ipEdit));
    });
  }
}

TEST_F(DevicePanelTest, RecycleBinSharesAreLeftOut) {
  SimDevice device;
  device.shares = "Recycle Bin:HDD_1:Recycle Bin - HDD_1:Recycle:USB:Recycle Binary";
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ASSERT_EQ(3, dlg.shareListCtrl.GetItemCount());
    EXPECT_EQ("HDD_1", ItemText(dlg.shareListCtrl, 0, 0));
    EXPECT_EQ("Recycle", ItemText(dlg.shareListCtrl, 1, 0));
    EXPECT_EQ("USB", ItemText(dlg.shareListCtrl, 2, 0));
  });
}

TEST_F(DevicePanelTest, SharesMappedThroughNameOrAddressShowTheirLetter) {
  SimDevice device;
  device.name = "nas1";
  device.shares = "HDD_1:USB:Music:Photos";
  net.Add(device);
  drives.Map("Z:", "\\\\NAS1\\hdd_1");  // through the name, other case
  drives.Map("X:", "\\\\192.168.0.32\\USB");  // through the address
  drives.Map("W:", "\\\\othernas\\Music");  // another host
  drives.Map("V:", "\\\\nas1\\Photos");
  drives.Map("F:", "\\\\nas1\\Photos");  // the letter nearest A: wins
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ASSERT_EQ(4, dlg.shareListCtrl.GetItemCount());
    EXPECT_EQ("Z:", ItemText(dlg.shareListCtrl, 0, 1));
    EXPECT_EQ("X:", ItemText(dlg.shareListCtrl, 1, 1));
    EXPECT_EQ("", ItemText(dlg.shareListCtrl, 2, 1));
    EXPECT_EQ("F:", ItemText(dlg.shareListCtrl, 3, 1));
  });
}

TEST_F(DevicePanelTest, ShareNamesAreShownInTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "expects code page 1252, got " << GetACP();
  SimDevice device;
  device.shares = "Caf\xC3\xA9:\xE4\xB8\xAD\xE6\x96\x87";  // "Café", two CJK characters
  net.Add(device);
  drives.Map("Z:", "\\\\NAS1\\caf\xE9");
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ASSERT_EQ(2, dlg.shareListCtrl.GetItemCount());
    EXPECT_EQ("Caf\xE9", ItemText(dlg.shareListCtrl, 0, 0));
    EXPECT_EQ("??", ItemText(dlg.shareListCtrl, 1, 0)) << "characters the code page lacks";
    EXPECT_EQ("Z:", ItemText(dlg.shareListCtrl, 0, 1)) << "matched on the converted name";
  });
}

TEST_F(DevicePanelTest, ClickWithoutASelectedDeviceChangesNothing) {
  net.Add(SimDevice());
  RunMain([&](CMainDlg& dlg) {
    net.requests.clear();
    dlg.deviceListCtrl.SetItemState(-1, 0, LVIS_SELECTED);
    NMHDR click = {dlg.deviceListCtrl.m_hWnd, 1000, UINT(NM_CLICK)};
    dlg.SendMessage(WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&click));
    EXPECT_TRUE(net.requests.empty()) << net.Trace();
    EXPECT_EQ(0, dlg.deviceSelected);

    // A row whose record is gone (the list outlived its records).
    ClearDeviceList();
    ClickDevice(dlg, 0);
    EXPECT_TRUE(net.requests.empty()) << net.Trace();
    EXPECT_EQ(0, dlg.deviceSelected);
    EXPECT_STREQ("", CurrentDeviceAddress);
  });
}

TEST_F(DevicePanelTest, SilentDeviceShowsAsSinglePortWithoutShares) {
  SimDevice device;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    net.devices.clear();  // answers nothing from now on
    std::strcpy(CommandBuffers.lanConfig.port[0].name, "LAN1");
    ClickDevice(dlg, 0);
    EXPECT_EQ(1, dlg.deviceSelected);
    EXPECT_FALSE(IsLanConfigPresent(CommandBuffers.lanConfig));
    EXPECT_EQ(0, dlg.lanPortCombo.GetCount());
    EXPECT_EQ(0, dlg.shareListCtrl.GetItemCount());
    EXPECT_STREQ("", CommandBuffers.sslMode);
    EXPECT_EQ("192.168.0.32", AddressText(dlg.ipEdit));
  });
}

TEST_F(DevicePanelTest, RealMouseClickOnARowSelectsTheDevice) {
  net.Add(SimDevice());
  RunMain([&](CMainDlg& dlg) {
    CRect row;
    ASSERT_TRUE(dlg.deviceListCtrl.GetItemRect(0, &row, LVIR_LABEL));
    const LPARAM at = MAKELPARAM(row.left + 4, row.top + row.Height() / 2);
    dlg.deviceListCtrl.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    dlg.deviceListCtrl.PostMessage(WM_LBUTTONUP, 0, at);
    fwtest::PumpMessages(200);
    EXPECT_EQ(1, dlg.deviceSelected);
    EXPECT_STREQ("192.168.0.32", CurrentDeviceAddress);
  });
}

namespace {

// Three devices: rows 0, 1 and 2 of the list.
void AddThreeDevices(FakeNetwork& net) {
  const char* const addresses[] = {"192.168.0.32", "192.168.0.33", "192.168.0.34"};
  for (int i = 0; i < 3; ++i) {
    SimDevice device;
    device.name = "nas" + std::to_string(i + 1);
    device.ip = addresses[i];
    device.mac[5] = static_cast<uint8_t>(i);
    net.Add(device);
  }
}

// A key pressed and let go in the device list, as the list receives it.
void PressKey(CMainDlg& dlg, WORD key) {
  dlg.deviceListCtrl.SendMessage(WM_KEYDOWN, key, 1);
  dlg.deviceListCtrl.SendMessage(WM_KEYUP, key, 0xC0000001);
}

// The device a click's three queries went to, "" when nothing was sent;
// "mixed" when the requests were not one click's queries of one device.
std::string QueriedDevice(const FakeNetwork& net) {
  if (net.requests.empty()) return "";
  if (net.Trace() != "3/20 3/3 3/19") return "mixed: " + net.Trace();
  for (const SeenRequest& r : net.requests)
    if (r.target != net.requests[0].target) return "mixed";
  return net.requests[0].target;
}

// Long enough for the keyboard selection's timer to have fired.
constexpr DWORD kPastTheDelayMs = kKeyboardSelectionDelayMs + 300;

}  // namespace

TEST_F(DevicePanelTest, KeyboardSelectionQueriesTheRowItSettlesOnOnce) {
  struct Case {
    const char* what;
    std::vector<WORD> keys;
    const char* queried;  // "": nothing is sent
  };
  const Case cases[] = {
      {"Down twice", {VK_DOWN, VK_DOWN}, "192.168.0.34"},
      {"Down past the last row", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN}, "192.168.0.34"},
      {"End", {VK_END}, "192.168.0.34"},
      {"Down and Up again: the row the panel shows", {VK_DOWN, VK_UP}, ""},
  };
  AddThreeDevices(net);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      net.requests.clear();
      for (WORD key : c.keys) PressKey(dlg, key);
      EXPECT_EQ("", QueriedDevice(net)) << "nothing is sent while the keys move the selection";
      fwtest::PumpMessages(kPastTheDelayMs);
      EXPECT_EQ(c.queried, QueriedDevice(net));
      const std::string shown = c.queried[0] != '\0' ? c.queried : "192.168.0.32";
      EXPECT_EQ(shown, AddressText(dlg.ipEdit));
      EXPECT_STREQ(shown.c_str(), CurrentDeviceAddress);
      EXPECT_EQ(1, dlg.deviceSelected);
    });
  }
}

TEST_F(DevicePanelTest, EachKeyRestartsTheWaitForTheSelectionToSettle) {
  AddThreeDevices(net);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    net.requests.clear();
    // Keys that follow each other faster than the delay (a held arrow key)
    // send nothing for the rows passed on the way.
    for (int i = 0; i < 2; ++i) {
      PressKey(dlg, VK_DOWN);
      fwtest::PumpMessages(kKeyboardSelectionDelayMs / 3);
    }
    EXPECT_EQ("", QueriedDevice(net)) << "the selection has not settled yet";
    fwtest::PumpMessages(kPastTheDelayMs);
    EXPECT_EQ("192.168.0.34", QueriedDevice(net));
  });
}

TEST_F(DevicePanelTest, OnlyKeysStartTheKeyboardSelection) {
  struct Case {
    const char* what;
    std::function<void(CMainDlg&)> act;
    const char* queried;
  };
  const Case cases[] = {
      // The click's own NM_CLICK queries; the timer finds its row shown.
      {"Down, then a click on that row", [](CMainDlg& d) { PressKey(d, VK_DOWN); ClickDevice(d, 1); }, "192.168.0.33"},
      {"Down, then a click on another row", [](CMainDlg& d) { PressKey(d, VK_DOWN); ClickDevice(d, 2); }, "192.168.0.34"},
      // A selection the program makes is no keyboard selection.
      {"a selection set without a key",
       [](CMainDlg& d) { d.deviceListCtrl.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); }, ""},
  };
  AddThreeDevices(net);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      net.requests.clear();
      c.act(dlg);
      fwtest::PumpMessages(kPastTheDelayMs);
      EXPECT_EQ(c.queried, QueriedDevice(net));
    });
  }
}

TEST_F(DevicePanelTest, KeyboardSelectionWaitsForAnOpenDialogToClose) {
  AddThreeDevices(net);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    net.requests.clear();
    PressKey(dlg, VK_DOWN);
    // Another operation's dialog or message box disables the window.
    dlg.EnableWindow(FALSE);
    fwtest::PumpMessages(kPastTheDelayMs);
    EXPECT_EQ("", QueriedDevice(net)) << "the device stays the same under the open dialog";
    dlg.EnableWindow(TRUE);
    fwtest::PumpMessages(kPastTheDelayMs);
    EXPECT_EQ("192.168.0.33", QueriedDevice(net));
  });
}
