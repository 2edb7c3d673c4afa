// The main window: its set-up, the refresh, the ways out and the
// application's start-up.
#include <cstdlib>
#include <cstring>

#include "app_fixture.h"
#include "discovery.h"
#include "resource.h"
#include "transport.h"
#include "utility_app.h"

extern CUtilityApp theApp;

namespace {

struct ColumnInfo {
  std::string title;
  int width;
  int format;
};

std::vector<ColumnInfo> Columns(const CListCtrl& list) {
  std::vector<ColumnInfo> columns;
  for (int i = 0;; ++i) {
    char title[64] = {};
    LVCOLUMNA column;
    std::memset(&column, 0, sizeof column);
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    if (!list.SendMessage(LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column))) break;
    columns.push_back({title, column.cx, column.fmt & LVCFMT_JUSTIFYMASK});
  }
  return columns;
}

std::string Describe(const std::vector<ColumnInfo>& columns) {
  std::string text;
  for (const ColumnInfo& c : columns) text += "\"" + c.title + "\" " + std::to_string(c.width) + "; ";
  return text;
}

LOGFONTA FontOf(const CWnd& wnd) {
  LOGFONTA font;
  std::memset(&font, 0, sizeof font);
  ::GetObjectA(wnd.GetFont(), sizeof font, &font);
  return font;
}

}  // namespace

using MainWindowTest = AppTest;

TEST_F(MainWindowTest, SetUpGivesTitleIconsColumnsAndFonts) {
  RunMain([&](CMainDlg& dlg) {
    std::string title;
    dlg.GetWindowText(title);
    EXPECT_EQ("Nexora Storage Utility", title);

    ASSERT_NE(nullptr, dlg.icon);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.icon), dlg.SendMessage(WM_GETICON, ICON_BIG));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.icon), dlg.SendMessage(WM_GETICON, ICON_SMALL));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.icon), dlg.SendMessage(WM_QUERYDRAGICON));

    const auto devices = Columns(dlg.deviceListCtrl);
    ASSERT_EQ(4u, devices.size()) << Describe(devices);
    const ColumnInfo expectDevices[] = {{"Name", 94, 0}, {"IP", 85, 0}, {"Netmask", 85, 0}, {"Gateway", 85, 0}};
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(expectDevices[i].title, devices[i].title) << "device column " << i;
      EXPECT_EQ(expectDevices[i].width, devices[i].width) << "device column " << i;
      EXPECT_EQ(LVCFMT_LEFT, devices[i].format) << "device column " << i;
    }
    const auto shares = Columns(dlg.shareListCtrl);
    ASSERT_EQ(2u, shares.size()) << Describe(shares);
    EXPECT_EQ("Volume Name", shares[0].title);
    EXPECT_EQ(120, shares[0].width);
    EXPECT_EQ("Location", shares[1].title);
    EXPECT_EQ(111, shares[1].width);

    CClientDC dc(&dlg);
    const int charset = dc.GetTextCharset();
    for (CListCtrl* list : {static_cast<CListCtrl*>(&dlg.deviceListCtrl), static_cast<CListCtrl*>(&dlg.shareListCtrl)}) {
      SCOPED_TRACE(list->GetDlgCtrlID());
      const LOGFONTA font = FontOf(*list);
      EXPECT_EQ(13, font.lfHeight);
      EXPECT_EQ(0, font.lfWidth);
      EXPECT_EQ(100, font.lfWeight);
      EXPECT_EQ(0, font.lfItalic + font.lfUnderline + font.lfStrikeOut);
      EXPECT_EQ(charset, font.lfCharSet);
      EXPECT_STREQ("Tahoma", font.lfFaceName);
      EXPECT_TRUE(list->GetExtendedStyle() & LVS_EX_FULLROWSELECT);
      EXPECT_EQ(RGB(0, 0, 0), list->GetTextColor());
    }
    EXPECT_NE(dlg.deviceListFont.GetSafeHandle(), dlg.shareListFont.GetSafeHandle());

    ASSERT_EQ(2, dlg.dhcpCombo.GetCount());
    EXPECT_EQ("Disable", ComboText(dlg.dhcpCombo, 0));
    EXPECT_EQ("Enable", ComboText(dlg.dhcpCombo, 1));
  });
}

TEST_F(MainWindowTest, ButtonsGetTheirFacesAndFourControlsStayHidden) {
  RunMain([&](CMainDlg& dlg) {
    CSkinButton* skinned[] = {&dlg.exitButton, &dlg.aboutButton, &dlg.applyButton, &dlg.btButton,
                              &dlg.closeButton, &dlg.minimizeButton, &dlg.languageButton,
                              &dlg.webButton, &dlg.unmapButton, &dlg.mapButton, &dlg.refreshButton};
    for (CSkinButton* button : skinned) {
      for (int face = 0; face < 4; ++face)
        EXPECT_TRUE(button->HasImage(face)) << "button " << button->GetDlgCtrlID() << " face " << face;
    }
    for (int face = 0; face < 4; ++face)
      EXPECT_FALSE(dlg.widgetButton.HasImage(face)) << "widget button face " << face;

    for (int id : {1016, 1022, 1025, 1032})
      EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dlg.m_hWnd, id))) << "control " << id << " is visible";
    for (int id : {1000, 1001, 1002, 1003, 1004, 1006, 1007, 1008, 1009, 1010, 1011, 1013, 1015, 1021, 1027, 1028})
      EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dlg.m_hWnd, id))) << "control " << id << " is hidden";
  });
}

TEST_F(MainWindowTest, ControlsStandWhereTheTemplatePutsThem) {
  struct Place {
    int id, x, y, w, h;
  };
  const Place places[] = {
      {1000, 14, 44, 179, 61},
      {1002, 211, 44, 68, 16},
      {1008, 211, 64, 68, 16},
      {1006, 50, 145, 100, 13},
      {1010, 50, 161, 100, 13},
      {1011, 50, 177, 100, 13},
      {1007, 211, 164, 68, 16},
      {1001, 14, 221, 157, 61},
      {1003, 211, 250, 68, 16},
      {1004, 211, 270, 68, 16},
      {1009, 211, 309, 68, 16},
      {1021, 133, 309, 68, 16},
      {1022, 133, 115, 62, 19},
      {1025, 203, 109, 62, 20},
      {1027, 258, 3, 12, 10},
      {1028, 271, 3, 12, 10},
      {1032, 202, 102, 62, 21},
  };
  RunMain([&](CMainDlg& dlg) {
    RECT whole = {0, 0, 287, 329};
    ::MapDialogRect(dlg.m_hWnd, &whole);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(whole.right, client.Width());
    EXPECT_EQ(whole.bottom, client.Height());
    for (const Place& p : places) {
      // The dialog manager converts position and size separately.
      RECT origin = {p.x, p.y, p.w, p.h};
      ::MapDialogRect(dlg.m_hWnd, &origin);
      const RECT expected = {origin.left, origin.top, origin.left + origin.right, origin.top + origin.bottom};
      CRect actual;
      ::GetWindowRect(::GetDlgItem(dlg.m_hWnd, p.id), &actual);
      dlg.ScreenToClient(&actual);
      EXPECT_EQ(CRect(expected), actual)
          << "control " << p.id << ": expected (" << expected.left << "," << expected.top << ")-("
          << expected.right << "," << expected.bottom << "), got (" << actual.left << "," << actual.top
          << ")-(" << actual.right << "," << actual.bottom << ")";
    }
  });
}

TEST_F(MainWindowTest, RefreshListsDevicesInDiscoveryOrder) {
  sockets.hostAddresses = {"192.168.0.5", "10.0.0.5"};
  CloseTransport();
  ASSERT_TRUE(OpenTransport());
  std::memcpy(ClientId, kExampleClientId, sizeof ClientId);

  SimDevice first;
  first.name = "alpha";
  first.ip = "192.168.0.32";
  SimDevice second;
  second.name = "beta";
  second.ip = "10.0.0.7";
  second.netmask = "255.0.0.0";
  second.gateway = "10.0.0.1";
  second.interfaceIndex = 1;
  net.Add(first);
  net.Add(second);

  bool refreshEnabledDuringDiscovery = true;
  CMainDlg* running = nullptr;
  net.onRequest = [&](const SeenRequest& r) {
    if (r.type == kDiscoverRequest && running != nullptr)
      refreshEnabledDuringDiscovery = refreshEnabledDuringDiscovery && running->refreshButton.IsWindowEnabled();
  };
  RunMain([&](CMainDlg& dlg) {
    ASSERT_EQ(2, dlg.deviceListCtrl.GetItemCount());
    const char* expected[2][4] = {{"alpha", "192.168.0.32", "255.255.255.0", "192.168.0.1"},
                                  {"beta", "10.0.0.7", "255.0.0.0", "10.0.0.1"}};
    for (int row = 0; row < 2; ++row)
      for (int column = 0; column < 4; ++column)
        EXPECT_EQ(expected[row][column], ItemText(dlg.deviceListCtrl, row, column)) << "row " << row << " column " << column;

    running = &dlg;
    net.requests.clear();
    fwtest::ClickButton(dlg, 1002);
    EXPECT_EQ("1/0 1/0", net.Trace()) << "one discovery request per interface";
    EXPECT_FALSE(refreshEnabledDuringDiscovery) << "the refresh button stayed enabled during discovery";
    EXPECT_TRUE(dlg.refreshButton.IsWindowEnabled());
    EXPECT_EQ(2, dlg.deviceListCtrl.GetItemCount());
    running = nullptr;
  });
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
}

TEST_F(MainWindowTest, RefreshWithoutDevicesLeavesEverythingEmptyAndSilent) {
  RunMain([&](CMainDlg& dlg) {
    EXPECT_EQ(0, dlg.deviceListCtrl.GetItemCount());
    EXPECT_EQ(0, dlg.shareListCtrl.GetItemCount());
    EXPECT_TRUE(dlg.ipEdit.IsBlank());
    EXPECT_TRUE(dlg.netmaskEdit.IsBlank());
    EXPECT_TRUE(dlg.gatewayEdit.IsBlank());
    EXPECT_FALSE(dlg.lanPortCombo.IsWindowEnabled());
    EXPECT_EQ(0, dlg.deviceSelected);
  });
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
  EXPECT_EQ("1/0", net.Trace());
}

TEST_F(MainWindowTest, RefreshAfterAClickEmptiesThePanelAndApplyIsRefused) {
  SimDevice device;
  device.shares = "HDD_1:USB";
  net.Add(device);
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    ASSERT_EQ(1, dlg.deviceSelected);
    ASSERT_EQ(2, dlg.shareListCtrl.GetItemCount());
    dlg.dhcpCombo.SetCurSel(1);

    fwtest::ClickButton(dlg, 1002);
    EXPECT_EQ(0, dlg.deviceSelected);
    EXPECT_EQ(0, dlg.shareListCtrl.GetItemCount());
    EXPECT_EQ(1, dlg.deviceListCtrl.GetItemCount());
    EXPECT_TRUE(dlg.ipEdit.IsBlank() && dlg.netmaskEdit.IsBlank() && dlg.gatewayEdit.IsBlank());
    EXPECT_EQ(1, dlg.dhcpCombo.GetCurSel()) << "the DHCP combo keeps its selection";
    EXPECT_STREQ("192.168.0.32", CommandBuffers.selectedIp) << "the selected address is left as it was";

    net.requests.clear();
    fwtest::ClickButton(dlg, 1007);
    EXPECT_TRUE(net.requests.empty()) << net.Trace();
  });
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ("Please select a device in the above section.", fwtest::MessageBoxes()[0].text);
  EXPECT_EQ("Error", fwtest::MessageBoxes()[0].caption);
  EXPECT_EQ(UINT(MB_ICONHAND), fwtest::MessageBoxes()[0].icon());
}

TEST_F(MainWindowTest, DriveLetterComboOffersUsableLettersAndSelectsTheFirstFree) {
  drives.type["C:"] = kDriveFixed;
  drives.type["D:"] = kDriveCdRom;
  drives.Map("Z:", "\\\\host\\share");
  RunMain([&](CMainDlg& dlg) {
    ASSERT_EQ(22, dlg.driveCombo.GetCount()) << "Z: to E:";
    EXPECT_EQ("Z: \\\\host\\share", ComboText(dlg.driveCombo, 0));
    EXPECT_EQ("Y:", ComboText(dlg.driveCombo, 1));
    EXPECT_EQ("E:", ComboText(dlg.driveCombo, 21));
    EXPECT_EQ(1, dlg.driveCombo.GetCurSel());
  });
}

TEST_F(MainWindowTest, DriveLetterComboWithEveryLetterMappedSelectsNothing) {
  for (char letter = 'C'; letter <= 'Z'; ++letter)
    drives.Map(std::string(1, letter) + ":", std::string("\\\\host\\s") + letter);
  RunMain([&](CMainDlg& dlg) {
    EXPECT_EQ(24, dlg.driveCombo.GetCount());
    EXPECT_EQ(CB_ERR, dlg.driveCombo.GetCurSel());
  });
}

// The three ways out and what each leaves behind.
TEST_F(MainWindowTest, ExitFreesTheRecordsAndClosesTheSockets) {
  net.Add(SimDevice());
  const INT_PTR result = RunMain([&](CMainDlg& dlg) {
    ASSERT_EQ(1, DeviceList.count);
    fwtest::ClickButton(dlg, 1009);
    EXPECT_FALSE(::IsWindow(dlg.m_hWnd) && dlg.m_hWnd != nullptr) << "the window is still there";
  });
  EXPECT_NE(-1, result);
  EXPECT_EQ(0, DeviceList.count);
  EXPECT_EQ(nullptr, DeviceList.head);
  EXPECT_EQ(2u, sockets.closed.size()) << "send and receive socket of the one interface";
}

TEST_F(MainWindowTest, CloseMessageClosesTheSocketsAndKeepsTheRecords) {
  net.Add(SimDevice());
  const INT_PTR result = RunMain([&](CMainDlg& dlg) { dlg.SendMessage(WM_CLOSE); });
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_EQ(2u, sockets.closed.size());
  EXPECT_EQ(1, DeviceList.count);
}

TEST_F(MainWindowTest, CloseButtonEndsTheWindowWithoutClosingTheSockets) {
  net.Add(SimDevice());
  const INT_PTR result = RunMain([&](CMainDlg& dlg) { fwtest::ClickButton(dlg, 1028); });
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_TRUE(sockets.closed.empty());
  EXPECT_EQ(1, DeviceList.count);
}

TEST_F(MainWindowTest, EnterDoesNotEndTheWindow) {
  RunMain([&](CMainDlg& dlg) {
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    fwtest::PumpMessages(50);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.IsWindowVisible());
  });
}

TEST_F(MainWindowTest, MinimiseButtonMinimisesAndThePaintDrawsTheIcon) {
  RunMain([&](CMainDlg& dlg) {
    fwtest::ClickButton(dlg, 1027);
    EXPECT_TRUE(dlg.IsIconic());
    dlg.RedrawWindow();
    fwtest::PumpMessages(20);
    dlg.ShowWindow(SW_RESTORE);
    EXPECT_FALSE(dlg.IsIconic());
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
  });
}

// Start-up of the application object.
TEST_F(MainWindowTest, StartUpRunsTheMainWindowWithWhiteDialogColours) {
  CloseTransport();
  sockets.startups = 0;
  net.Add(SimDevice());
  bool ran = false;
  fwtest::PushModalAction([&](CDialog& d) {
    ran = true;
    EXPECT_EQ(1, sockets.startups) << "the transport opens before the window";
    EXPECT_EQ(&d, AfxGetMainWnd());
    EXPECT_EQ(UINT(IDD_MAIN), d.GetTemplateID());
    EXPECT_NE(nullptr, dynamic_cast<CMainDlg*>(&d));
    EXPECT_EQ(RGB(255, 255, 255), theApp.GetDialogBkColor());
    EXPECT_EQ(RGB(255, 255, 255), theApp.GetDialogTextColor());
    EXPECT_EQ(1, static_cast<CMainDlg&>(d).deviceListCtrl.GetItemCount());
    d.EndDialog(IDCANCEL);
  });
  EXPECT_FALSE(theApp.InitInstance());
  EXPECT_TRUE(ran);
  EXPECT_EQ(nullptr, theApp.m_pMainWnd);
  EXPECT_EQ(0, theApp.ExitInstance());
}

TEST_F(MainWindowTest, StartUpWithoutSocketLibraryEndsWithCodeOneAndNoWindow) {
  CloseTransport();
  sockets.startupResult = false;
  bool ran = false;
  fwtest::PushModalAction([&](CDialog& d) {
    ran = true;
    d.EndDialog(IDCANCEL);
  });
  EXPECT_FALSE(theApp.InitInstance());
  EXPECT_FALSE(ran) << "a window opened";
  EXPECT_EQ(1, theApp.ExitInstance());
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
  fwtest::ClearModalActions();
}

// Holds the window with devices on screen for a look from outside (run with
// --gtest_also_run_disabled_tests; NEXORA_PREVIEW_MS sets the time).
TEST_F(MainWindowTest, DISABLED_PreviewWithDevices) {
  SimDevice first;
  first.name = "nas-office";
  first.shares = "HDD_1:USB:Recycle Bin - HDD_1:Music";
  SimDevice second;
  second.name = "nas-lab";
  second.ip = "192.168.0.44";
  second.dhcpFlag = '1';
  net.Add(first);
  net.Add(second);
  drives.type["C:"] = kDriveFixed;
  drives.Map("Z:", "\\\\nas-office\\HDD_1");
  drives.Map("Y:", "\\\\192.168.0.32\\Music");
  const char* hold = std::getenv("NEXORA_PREVIEW_MS");
  RunMain([&](CMainDlg& dlg) {
    ClickDevice(dlg, 0);
    dlg.shareListCtrl.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    fwtest::PumpMessages(hold ? static_cast<DWORD>(std::atoi(hold)) : 5000);
  });
}
