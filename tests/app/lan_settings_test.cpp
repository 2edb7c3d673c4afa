// LAN settings: validation messages, port switching and the requests an
// apply sends.
#include <cstring>

#include "app_fixture.h"
#include "commands.h"
#include "lan_rules.h"

using LanSettingsTest = AppTest;

namespace {

const char kTwoPorts[] = "LAN1:192.168.0.32:255.255.255.0:192.168.0.1:0:LAN2:10.0.0.2:255.0.0.0::0";

struct ValidationCase {
  const char* address;
  const char* netmask;
  const char* gateway;
  const char* message;  // nullptr: accepted
  const char* caption;
  UINT icon;
  int focusControl;  // control whose field gets the focus, 0 for none
  int focusField;
};

const ValidationCase kValidation[] = {
    {"", "255.255.255.0", "192.168.0.1", "Please input IP address!", "Warning", MB_ICONEXCLAMATION, 0, -1},
    {"192.168.0.10", "", "192.168.0.1", "Please input net mask address!", "Warning", MB_ICONEXCLAMATION, 0, -1},
    {"127.0.0.1", "255.0.0.0", "127.0.0.2", "IP address input error. Please try again.", "Warning",
     MB_ICONEXCLAMATION, 0, -1},
    {"0.1.2.3", "255.255.255.0", "0.1.2.1", "Invalid IP address in 1st digit. It should be 1-223.", "Error",
     MB_ICONINFORMATION, 1006, 0},
    {"224.0.0.5", "255.255.255.0", "192.168.0.1", "Invalid IP address in 1st digit. It should be 1-223.",
     "Error", MB_ICONINFORMATION, 1006, 0},
    {"192.168.0.10", "255.255.255.0", "0.168.0.1",
     "Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", MB_ICONINFORMATION, 1011, 0},
    {"192.168.0.10", "255.255.255.0", "230.168.0.1",
     "Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", MB_ICONINFORMATION, 1011, 0},
    {"192.168.0.10", "255.0.255.0", "192.168.0.1", "Netmask address input invalid. Please try again.", "Error",
     MB_ICONHAND, 0, -1},
    {"192.168.0.10", "0.255.255.255", "192.168.0.1", "Netmask address input invalid. Please try again.", "Error",
     MB_ICONHAND, 0, -1},
    {"192.168.0.10", "255.255.255.0", "192.168.0.0",
     "You enter incorrect TCP/IP configuration. Please try again.", "Error", MB_ICONHAND, 0, -1},
    {"192.168.0.10", "255.255.255.0", "192.168.0.255",
     "You enter incorrect TCP/IP configuration. Please try again.", "Error", MB_ICONHAND, 0, -1},
    {"192.168.0.10", "255.255.255.0", "10.0.0.1",
     "You enter incorrect TCP/IP configuration. Please try again.", "Error", MB_ICONHAND, 0, -1},
    {"192.168.0.10", "255.255.255.0", "", "You enter incorrect TCP/IP configuration. Please try again.",
     "Error", MB_ICONHAND, 0, -1},
    {"192.168.0.10", "255.255.255.255", "192.168.0.10",
     "You enter incorrect TCP/IP configuration. Please try again.", "Error", MB_ICONHAND, 0, -1},
    {"192.168.0.10", "255.255.255.0", "192.168.0.1", nullptr, nullptr, 0, 0, -1},
    {"169.254.1.2", "255.255.0.0", "", nullptr, nullptr, 0, 0, -1},
    {"169.254.1.2", "255.255.255.255", "0.1.1.1", nullptr, nullptr, 0, 0, -1},
};

bool ParseFields(const char* text, int f[4]) {
  f[0] = f[1] = f[2] = f[3] = 0;
  return *text == '\0' || std::sscanf(text, "%d.%d.%d.%d", &f[0], &f[1], &f[2], &f[3]) == 4;
}

}  // namespace

TEST_F(LanSettingsTest, EveryValidationMessageWithCaptionIconAndFocus) {
  SimDevice device;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    for (const ValidationCase& c : kValidation) {
      SCOPED_TRACE(std::string(c.address) + " / " + c.netmask + " / " + c.gateway);
      fwtest::ClearMessageBoxes();
      net.requests.clear();
      dlg.deviceListCtrl.SetFocus();
      dlg.dhcpCombo.SetCurSel(0);
      SetAddressText(dlg.ipEdit, c.address);
      SetAddressText(dlg.netmaskEdit, c.netmask);
      SetAddressText(dlg.gatewayEdit, c.gateway);
      fwtest::ClickButton(dlg, 1007);
      if (c.message == nullptr) {
        EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
        EXPECT_EQ(1u, net.Of(kSetRequest, kCodeStaticAddress).size()) << net.Trace();
        ClickDevice(dlg, 0);  // the apply refreshed the list
        continue;
      }
      ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
      const fwtest::MessageBoxCall& box = fwtest::MessageBoxes()[0];
      EXPECT_EQ(c.message, box.text);
      EXPECT_EQ(c.caption, box.caption);
      EXPECT_EQ(c.icon, box.icon()) << RecordedMessages();
      EXPECT_EQ(dlg.m_hWnd, box.owner);
      EXPECT_TRUE(net.requests.empty()) << "sent after a refused check: " << net.Trace();
      if (c.focusControl != 0) {
        const CIPAddressCtrl& control = c.focusControl == 1006 ? dlg.ipEdit : dlg.gatewayEdit;
        EXPECT_EQ(c.focusField, FocusedField(control)) << "focus on control " << c.focusControl;
      }
      // The controls keep what was typed.
      EXPECT_EQ(c.address, AddressText(dlg.ipEdit));

      // The shared rules give the same verdict.
      int a[4], m[4], g[4];
      ASSERT_TRUE(ParseFields(c.address, a) && ParseFields(c.netmask, m) && ParseFields(c.gateway, g));
      const LanCheckResult rule = ValidateStaticSettings(!*c.address, a, !*c.netmask, m, !*c.gateway, g);
      EXPECT_FALSE(rule.ok);
      if (!rule.ok) {
        EXPECT_STREQ(c.message, rule.message);
      }
    }
  });
}

TEST_F(LanSettingsTest, FieldChecksBeyondTheControlsRangeNameTheirDigit) {
  struct Case {
    int kind;
    int f[4];
    const char* message;
    int field;
  };
  const Case cases[] = {
      {1, {10, 256, 0, 1}, "Invalid IP address in 2nd digit. It should be 0-255.", 1},
      {1, {10, 0, 300, 1}, "Invalid IP address in 3rd digit. It should be 0-255.", 2},
      {1, {10, 0, 0, 999}, "Invalid IP address in 4th digit. It should be 0-255.", 3},
      {2, {256, 0, 0, 0}, "Invalid subnet mask address in 1st digit. It should be 0-255.", 0},
      {2, {255, 256, 0, 0}, "Invalid subnet mask address in 2nd digit. It should be 0-255.", 1},
      {2, {255, 255, 256, 0}, "Invalid subnet mask address in 3rd digit. It should be 0-255.", 2},
      {2, {255, 255, 255, 256}, "Invalid subnet mask address in 4th digit. It should be 0-255.", 3},
      {3, {10, 256, 0, 1}, "Invalid gateway IP address in 2nd digit. It should be 0-255.", 1},
      {3, {10, 0, 256, 1}, "Invalid gateway IP address in 3rd digit. It should be 0-255.", 2},
      {3, {10, 0, 0, 256}, "Invalid gateway IP address in 4th digit. It should be 0-255.", 3},
      {4, {999, 999, 999, 999}, nullptr, -1},
  };
  RunMain([&](CMainDlg& dlg) {
    SetAddressText(dlg.gatewayEdit, "10.0.0.1");
    for (const Case& c : cases) {
      SCOPED_TRACE(c.message ? c.message : "kind 4");
      fwtest::ClearMessageBoxes();
      dlg.deviceListCtrl.SetFocus();
      const bool ok = dlg.CheckAddressFields(c.kind, c.f[0], c.f[1], c.f[2], c.f[3]);
      if (c.message == nullptr) {
        EXPECT_TRUE(ok);
        EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
        continue;
      }
      EXPECT_FALSE(ok);
      ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
      EXPECT_EQ(c.message, fwtest::MessageBoxes()[0].text);
      EXPECT_EQ("Error", fwtest::MessageBoxes()[0].caption);
      EXPECT_EQ(UINT(MB_ICONINFORMATION), fwtest::MessageBoxes()[0].icon());
      const CIPAddressCtrl& control = c.kind == 1 ? dlg.ipEdit : c.kind == 2 ? dlg.netmaskEdit
                                                                             : dlg.gatewayEdit;
      EXPECT_EQ(c.field, FocusedField(control));
    }
    // A blank gateway passes its field check at once.
    dlg.gatewayEdit.ClearAddress();
    EXPECT_TRUE(dlg.CheckAddressFields(3, 0, 999, 0, 0));
  });
}

TEST_F(LanSettingsTest, StaticChangeOfASinglePortDeviceSendsCodeOneAndRefreshes) {
  SimDevice device;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    net.requests.clear();
    SetAddressText(dlg.ipEdit, "192.168.0.50");
    SetAddressText(dlg.netmaskEdit, "255.255.255.0");
    SetAddressText(dlg.gatewayEdit, "192.168.0.254");
    fwtest::ClickButton(dlg, 1007);
    EXPECT_EQ("3/4 5/1 1/0", net.Trace()) << "login, static address, rediscovery";
    const auto sets = net.Of(kSetRequest, kCodeStaticAddress);
    ASSERT_EQ(1u, sets.size());
    const Bytes data = sets[0].Data();
    EXPECT_EQ("192.168.0.50", std::string(data.begin(), data.end()));
    EXPECT_EQ("255.255.255.0", sets[0].Text(24, 16));
    EXPECT_EQ("192.168.0.254", sets[0].Text(40, 16));
    EXPECT_EQ("192.168.0.32", sets[0].target);
    EXPECT_EQ(0, dlg.deviceSelected) << "the list was refreshed";
    EXPECT_EQ(1, LoginForAdmin);
  });
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
}

TEST_F(LanSettingsTest, LinkLocalAddressWithBlankGatewaySendsAnEmptyGateway) {
  SimDevice device;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    net.requests.clear();
    std::strcpy(CommandBuffers.gateway, "stale");
    SetAddressText(dlg.ipEdit, "169.254.1.2");
    SetAddressText(dlg.netmaskEdit, "255.255.0.0");
    SetAddressText(dlg.gatewayEdit, "");
    fwtest::ClickButton(dlg, 1007);
    const auto sets = net.Of(kSetRequest, kCodeStaticAddress);
    ASSERT_EQ(1u, sets.size()) << net.Trace() << "\n"
                               << RecordedMessages();
    EXPECT_EQ("", sets[0].Text(40, 16));
    EXPECT_STREQ("", CommandBuffers.gateway);
  });
}

TEST_F(LanSettingsTest, StaticChangeOfATwoPortDeviceSendsTheWholeRecord) {
  SimDevice device;
  device.lanConfig = kTwoPorts;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    net.requests.clear();
    SetAddressText(dlg.ipEdit, "192.168.0.60");
    fwtest::ClickButton(dlg, 1007);
    EXPECT_EQ("3/4 5/21 1/0", net.Trace());
    const auto sets = net.Of(kSetRequest, kCodeSetLanConfig);
    ASSERT_EQ(1u, sets.size());
    const Bytes data = sets[0].Data();
    ASSERT_EQ(120u, data.size());
    LanConfig sent;
    std::memcpy(&sent, data.data(), sizeof sent);
    EXPECT_STREQ("LAN1", sent.port[0].name);
    EXPECT_STREQ("192.168.0.60", sent.port[0].address);
    EXPECT_STREQ("255.255.255.0", sent.port[0].netmask);
    EXPECT_STREQ("192.168.0.1", sent.port[0].gateway);
    EXPECT_STREQ("0", sent.port[0].mode);
    EXPECT_STREQ("LAN2", sent.port[1].name);
    EXPECT_STREQ("10.0.0.2", sent.port[1].address);
    EXPECT_STREQ("255.0.0.0", sent.port[1].netmask);
    EXPECT_STREQ("", sent.port[1].gateway);
    EXPECT_STREQ("0", sent.port[1].mode);
    EXPECT_EQ("255.255.255.0", sets[0].Text(24, 16));
    EXPECT_EQ("192.168.0.1", sets[0].Text(40, 16));
  });
}

TEST_F(LanSettingsTest, DhcpForASinglePortDeviceSendsOnlySetDhcpClient) {
  SimDevice device;
  device.dhcpAddress = "192.168.0.77";
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ChooseComboItem(dlg, dlg.dhcpCombo, 1);
    EXPECT_FALSE(dlg.ipEdit.IsWindowEnabled() || dlg.netmaskEdit.IsWindowEnabled() || dlg.gatewayEdit.IsWindowEnabled());
    // Not validated: a blank address is no obstacle.
    SetAddressText(dlg.ipEdit, "");
    net.requests.clear();
    fwtest::ClickButton(dlg, 1007);
    EXPECT_EQ("3/4 5/2 1/0", net.Trace());
    const auto sets = net.Of(kSetRequest, kCodeDhcpClient);
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ(60u, sets[0].bytes.size()) << "no data without a LAN configuration record";
    EXPECT_STREQ("192.168.0.77", CommandBuffers.selectedIp);

    ChooseComboItem(dlg, dlg.dhcpCombo, 0);
    EXPECT_TRUE(dlg.ipEdit.IsWindowEnabled() && dlg.netmaskEdit.IsWindowEnabled() && dlg.gatewayEdit.IsWindowEnabled());
  });
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ("DHCP client enabled.", fwtest::MessageBoxes()[0].text);
  EXPECT_EQ("Confirm", fwtest::MessageBoxes()[0].caption);
  EXPECT_EQ(UINT(MB_ICONINFORMATION), fwtest::MessageBoxes()[0].icon());
}

TEST_F(LanSettingsTest, UnansweredDhcpChangeIsReportedAndNothingIsRefreshed) {
  SimDevice device;
  device.answersSet = false;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ChooseComboItem(dlg, dlg.dhcpCombo, 1);
    net.requests.clear();
    fwtest::ClickButton(dlg, 1007);
    EXPECT_EQ("3/4 5/2", net.Trace());
    EXPECT_EQ(1, dlg.deviceSelected);
  });
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ("Set to dhcp client fail.", fwtest::MessageBoxes()[0].text);
  EXPECT_EQ("Error", fwtest::MessageBoxes()[0].caption);
  EXPECT_EQ(UINT(MB_ICONHAND), fwtest::MessageBoxes()[0].icon());
}

TEST_F(LanSettingsTest, WrongPasswordSendsNoSetting) {
  SimDevice device;
  device.password = "secret";
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    net.requests.clear();
    fwtest::PushModalAction([](CDialog& login) {
      login.SetDlgItemText(1017, "guess");
      fwtest::ClickButton(login, IDOK);
    });
    fwtest::ClickButton(dlg, 1007);
    EXPECT_EQ("3/4 3/4", net.Trace());
    EXPECT_EQ(1, dlg.deviceSelected);
  });
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ("Wrong administrator password input!", fwtest::MessageBoxes()[0].text);
}

TEST_F(LanSettingsTest, SwitchingPortsKeepsTheEditsOfEachPort) {
  SimDevice device;
  device.lanConfig = kTwoPorts;
  device.shares = "HDD_1";
  net.Add(device);
  drives.Map("Z:", "\\\\10.0.0.2\\HDD_1");
  drives.Map("Y:", "\\\\nas1\\HDD_1");
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ASSERT_EQ(0, dlg.lanPortCombo.GetCurSel());
    EXPECT_EQ("Y:", ItemText(dlg.shareListCtrl, 0, 1));
    SetAddressText(dlg.ipEdit, "192.168.0.40");
    SetAddressText(dlg.gatewayEdit, "192.168.0.254");

    ChooseComboItem(dlg, dlg.lanPortCombo, 1);
    EXPECT_EQ(1, lanPortIndex);
    EXPECT_EQ("10.0.0.2", AddressText(dlg.ipEdit));
    EXPECT_EQ("255.0.0.0", AddressText(dlg.netmaskEdit));
    EXPECT_TRUE(dlg.gatewayEdit.IsBlank());
    EXPECT_STREQ("192.168.0.40", CommandBuffers.lanConfig.port[0].address);
    EXPECT_STREQ("192.168.0.254", CommandBuffers.lanConfig.port[0].gateway);
    // Matched against the port's address only.
    ASSERT_EQ(1, dlg.shareListCtrl.GetItemCount());
    EXPECT_EQ("Z:", ItemText(dlg.shareListCtrl, 0, 1));
    SetAddressText(dlg.ipEdit, "10.0.0.9");

    ChooseComboItem(dlg, dlg.lanPortCombo, 0);
    EXPECT_EQ(0, lanPortIndex);
    EXPECT_EQ("192.168.0.40", AddressText(dlg.ipEdit));
    EXPECT_EQ("255.255.255.0", AddressText(dlg.netmaskEdit));
    EXPECT_EQ("192.168.0.254", AddressText(dlg.gatewayEdit));
    EXPECT_STREQ("10.0.0.9", CommandBuffers.lanConfig.port[1].address);
    EXPECT_STREQ("0.0.0.0", CommandBuffers.lanConfig.port[1].gateway);

    // The same selection again changes nothing.
    SetAddressText(dlg.ipEdit, "192.168.0.41");
    ChooseComboItem(dlg, dlg.lanPortCombo, 0);
    EXPECT_EQ("192.168.0.41", AddressText(dlg.ipEdit));
  });
}

TEST_F(LanSettingsTest, ApplyOnTheSecondPortStagesItsHalfAndValidatesItsValues) {
  SimDevice device;
  device.lanConfig = kTwoPorts;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ChooseComboItem(dlg, dlg.lanPortCombo, 1);
    SetAddressText(dlg.ipEdit, "10.0.0.9");
    SetAddressText(dlg.gatewayEdit, "10.0.0.1");
    net.requests.clear();
    fwtest::ClickButton(dlg, 1007);
    const auto sets = net.Of(kSetRequest, kCodeSetLanConfig);
    ASSERT_EQ(1u, sets.size()) << net.Trace() << "\n"
                               << RecordedMessages();
    LanConfig sent;
    std::memcpy(&sent, sets[0].Data().data(), sizeof sent);
    EXPECT_STREQ("10.0.0.9", sent.port[1].address);
    EXPECT_STREQ("10.0.0.1", sent.port[1].gateway);
    EXPECT_STREQ("192.168.0.32", sent.port[0].address);
    // The header carries the first port's values.
    EXPECT_EQ("255.255.255.0", sets[0].Text(24, 16));
  });
}

TEST_F(LanSettingsTest, DhcpOnATwoPortDeviceTravelsInTheRecordAfterValidation) {
  SimDevice device;
  device.lanConfig = kTwoPorts;
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ChooseComboItem(dlg, dlg.dhcpCombo, 1);
    // The disabled controls are still checked.
    SetAddressText(dlg.netmaskEdit, "");
    net.requests.clear();
    fwtest::ClickButton(dlg, 1007);
    EXPECT_TRUE(net.requests.empty()) << net.Trace();
    ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
    EXPECT_EQ("Please input net mask address!", fwtest::MessageBoxes()[0].text);

    SetAddressText(dlg.netmaskEdit, "255.255.255.0");
    fwtest::ClickButton(dlg, 1007);
    EXPECT_EQ("3/4 5/21 1/0", net.Trace()) << "the record, not SetDhcpClient";
    const auto sets = net.Of(kSetRequest, kCodeSetLanConfig);
    ASSERT_EQ(1u, sets.size());
    LanConfig sent;
    std::memcpy(&sent, sets[0].Data().data(), sizeof sent);
    EXPECT_STREQ("1", sent.port[0].mode);
    EXPECT_STREQ("0", sent.port[1].mode);
  });
}
