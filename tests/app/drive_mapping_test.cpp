// Mapping a share to a drive letter and removing it: the credentials tried
// on each Windows version, the companion share, the drive-in-use question,
// the messages and the refresh afterwards.
#include <functional>
#include <string>
#include <vector>

#include "addon_state.h"
#include "app_fixture.h"
#include "drive_in_use_dlg.h"
#include "resource.h"

namespace {

using Lines = std::vector<std::string>;

std::string Join(const Lines& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

// The device of these tests: nas1 at 192.168.0.32 with share "pub" and its
// companion.
SimDevice Nas() {
  SimDevice device;
  device.shares = "pub:Recycle Bin - pub:media";
  return device;
}

const char kShare[] = "\\\\192.168.0.32\\pub";
const char kCompanion[] = "\\\\192.168.0.32\\Recycle Bin - pub";

std::string Add(const char* letter, const char* remote, const char* password, const char* user, int flags) {
  return std::string("add 1 ") + letter + " " + remote + " NULL password=" + password + " user=" + user +
         " flags=" + std::to_string(flags);
}
std::string Cancel(const char* letter) { return std::string("cancel ") + letter + " flags=1 force=1"; }

const char kMapped[] = "\"Successfully mapped drive.\" (Confirm, MB_ICONINFORMATION)\n";
const char kMapFailed[] = "\"Failed to map drive.\" (Error, MB_ICONHAND)\n";
const char kUnmapped[] = "\"Successfully unmapped drive.\" (Confirm, MB_ICONINFORMATION)\n";
const char kUnmapFailed[] =
    "\"Unable to disconnect this drive.\nPlease select a drive to disconnect and verify that the drive is "
    "not being accessed.\" (Error, MB_ICONHAND)\n";

// Index of the combo item whose text is text, -1 when none.
int ComboIndex(CComboBox& combo, const std::string& text) {
  for (int i = 0; i < combo.GetCount(); ++i) {
    std::string item;
    combo.GetLBText(i, item);
    if (item == text) return i;
  }
  return -1;
}

void SelectRow(CListCtrl& list, int row) {
  for (int i = 0; i < list.GetItemCount(); ++i) list.SetItemState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 0) list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// What the login dialog gets: typed user (ignored when the edit is
// disabled) and password, or Cancel.
struct Login {
  const char* user;
  const char* password;
};

constexpr Login kBob{"bob", "pw"};

void ExpectLogin(const Login& login, bool* shown) {
  fwtest::PushModalAction([login, shown](CDialog& d) {
    *shown = true;
    if (login.password == nullptr) {
      fwtest::ClickButton(d, IDCANCEL);
      return;
    }
    if (::IsWindowEnabled(::GetDlgItem(d.m_hWnd, IDC_LOGIN_USER))) d.SetDlgItemText(IDC_LOGIN_USER, login.user);
    d.SetDlgItemText(IDC_LOGIN_PASSWORD, login.password);
    fwtest::ClickButton(d, IDOK);
  });
}

}  // namespace

class DriveMappingTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    drives.type["C:"] = kDriveFixed;
    AddonFlowState.DriveInUseAccepted = 0;
  }

  // Clicks the device, picks share row and the combo item text, presses Map.
  void Map(CMainDlg& dlg, int shareRow, const std::string& letterItem) {
    ClickDevice(dlg, 0);
    SelectRow(dlg.shareListCtrl, shareRow);
    const int item = ComboIndex(dlg.driveCombo, letterItem);
    ASSERT_GE(item, 0) << "no combo item " << letterItem;
    dlg.driveCombo.SetCurSel(item);
    drives.calls.clear();
    fwtest::ClearMessageBoxes();
    fwtest::ClickButton(dlg, IDC_MAP);
  }
};

TEST_F(DriveMappingTest, CredentialsTriedOnEachWindowsVersion) {
  struct Case {
    const char* name;
    void (FakeHostPlatform::*play)();
    const char* domain;  // nullptr: the device does not answer
    // The credentials the share accepts: user and password, nullptr for
    // either means any; flags 0 means any.
    const char* user;
    const char* password;
    unsigned flags;
    const Login* login;  // the login dialog and what is typed; nullptr: not shown
    Lines calls;  // after the device click
    const char* messages;
    bool queriesDomain;
  };
  static const Login typedPassword{"ignored", "pw"};
  const Case cases[] = {
      {"XP, domain, logged-on user accepted", &FakeHostPlatform::PlayXp, "CORP", "CORP\\alice", nullptr, 0, nullptr, {Cancel("Z:"), "user", Add("Z:", kShare, "NULL", "\"CORP\\alice\"", 1), Add("Y:", kCompanion, "NULL", "\"CORP\\alice\"", 1)}, kMapped, true},
      {"XP, domain, typed user", &FakeHostPlatform::PlayXp, "CORP", "CORP\\bob", "pw", 0, &kBob, {Cancel("Z:"), "user", Add("Z:", kShare, "NULL", "\"CORP\\alice\"", 1), Add("Z:", kShare, "\"pw\"", "\"CORP\\bob\"", 1), Add("Y:", kCompanion, "\"pw\"", "\"CORP\\bob\"", 1)}, kMapped, true},
      {"XP, no domain, empty credentials accepted", &FakeHostPlatform::PlayXp, "", nullptr, nullptr, 0, nullptr, {Cancel("Z:"), Add("Z:", kShare, "\"\"", "\"\"", 1), Add("Y:", kCompanion, "NULL", "NULL", 1)}, kMapped, true},
      {"XP, device silent on the domain", &FakeHostPlatform::PlayXp, nullptr, nullptr, nullptr, 0, nullptr, {Cancel("Z:"), Add("Z:", kShare, "\"\"", "\"\"", 1), Add("Y:", kCompanion, "NULL", "NULL", 1)}, kMapped, true},
      {"XP, no domain, typed user", &FakeHostPlatform::PlayXp, "", "bob", "pw", 0, &kBob, {Cancel("Z:"), Add("Z:", kShare, "\"\"", "\"\"", 1), Add("Z:", kShare, "\"pw\"", "\"bob\"", 1), Add("Y:", kCompanion, "\"pw\"", "\"bob\"", 1)}, kMapped, true},
      {"XP, domain, nothing accepted", &FakeHostPlatform::PlayXp, "CORP", "nobody", nullptr, 0, &kBob, {Cancel("Z:"), "user", Add("Z:", kShare, "NULL", "\"CORP\\alice\"", 1), Add("Z:", kShare, "\"pw\"", "\"CORP\\bob\"", 1)}, kMapFailed, true},
      {"98, the Windows user with a typed password", &FakeHostPlatform::Play98, "", "alice", "pw", 0, &typedPassword, {Cancel("Z:"), Add("Z:", kShare, "\"\"", "\"\"", 1), Add("Z:", kShare, "\"pw\"", "\"alice\"", 1), Add("Y:", kCompanion, "\"pw\"", "\"alice\"", 1)}, kMapped, true},
      {"NT 4, login first, no domain asked", &FakeHostPlatform::PlayNt4, "CORP", "bob", "pw", 0, &kBob, {Cancel("Z:"), Add("Z:", kShare, "\"pw\"", "\"bob\"", 1), Add("Y:", kCompanion, "\"pw\"", "\"bob\"", 1)}, kMapped, false},
      {"Vista, Windows asks", &FakeHostPlatform::PlayVista, "", nullptr, nullptr, 9, nullptr, {Cancel("Z:"), Add("Z:", kShare, "\"\"", "\"\"", 1), Add("Z:", kShare, "\"\"", "\"\"", 9), Add("Y:", kCompanion, "NULL", "NULL", 9)}, kMapped, true},
      {"Vista, domain, Windows asks and fails", &FakeHostPlatform::PlayVista, "CORP", "nobody", nullptr, 0, nullptr, {Cancel("Z:"), "user", Add("Z:", kShare, "NULL", "\"CORP\\alice\"", 1), Add("Z:", kShare, "\"\"", "\"\"", 9)}, kMapFailed, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    net.devices.clear();
    net.requests.clear();
    drives.remote.clear();
    SimDevice device = Nas();
    device.domain = c.domain ? c.domain : "";
    device.answersDomain = c.domain != nullptr;
    net.Add(device);
    (host.*c.play)();
    drives.accepts = [&c](const char* password, const char* user, unsigned flags) {
      auto same = [](const char* want, const char* got) {
        return want == nullptr || (got != nullptr && std::string(want) == got);
      };
      return same(c.user, user) && same(c.password, password) && (c.flags == 0 || c.flags == flags);
    };
    bool loginShown = false;
    RunMain([&](CMainDlg& dlg) {
      if (c.login != nullptr) ExpectLogin(*c.login, &loginShown);
      Map(dlg, 0, "Z:");
      EXPECT_EQ(Join(c.calls), Join(drives.calls));
      EXPECT_EQ(c.messages, RecordedMessages());
      EXPECT_EQ(c.login != nullptr, loginShown);
      EXPECT_EQ(0, LoginForAdmin);
      EXPECT_STREQ("192.168.0.32", CurrentDeviceAddress);
      EXPECT_EQ(c.queriesDomain, !net.Of(kQueryRequest, kCodeDomain).empty()) << net.Trace();
      const bool mapped = std::string(c.messages) == kMapped;
      EXPECT_EQ(mapped ? "Z:" : "", ItemText(dlg.shareListCtrl, 0, 1));
      EXPECT_EQ(mapped ? "Z: \\\\192.168.0.32\\pub" : "Z:", ComboText(dlg.driveCombo, 0));
      EXPECT_EQ(mapped ? "Y: \\\\192.168.0.32\\Recycle Bin - pub" : "Y:", ComboText(dlg.driveCombo, 1));
    });
  }
}

TEST_F(DriveMappingTest, OldNtTriesTheTypedCredentialsSixTimes) {
  struct Case {
    int acceptedAt;  // attempt that succeeds, 0: none
    int attempts;
    const char* messages;
  };
  for (const Case& c : {Case{0, 6, kMapFailed}, Case{3, 3, kMapped}, Case{6, 6, kMapped}}) {
    SCOPED_TRACE(c.acceptedAt);
    net.devices.clear();
    drives.remote.clear();
    net.Add(Nas());
    host.PlayNt4();
    int attempt = 0;
    drives.accepts = [&](const char*, const char*, unsigned) { return ++attempt == c.acceptedAt; };
    bool shown = false;
    RunMain([&](CMainDlg& dlg) {
      ExpectLogin(kBob, &shown);
      Map(dlg, 0, "Z:");
      Lines expected{Cancel("Z:")};
      for (int i = 0; i < c.attempts; ++i) expected.push_back(Add("Z:", kShare, "\"pw\"", "\"bob\"", 1));
      if (c.acceptedAt != 0) expected.push_back(Add("Y:", kCompanion, "\"pw\"", "\"bob\"", 1));
      EXPECT_EQ(Join(expected), Join(drives.calls));
      EXPECT_EQ(c.messages, RecordedMessages());
    });
  }
}

TEST_F(DriveMappingTest, CompanionGoesOnTheHighestOtherFreeLetter) {
  struct Case {
    const char* name;
    std::function<void(FakeDrivePlatform&)> setup;
    const char* chosen;  // combo item
    const char* companion;  // its letter, nullptr: no companion mapping
  };
  const Case cases[] = {
      {"Z: chosen, Y: free", [](FakeDrivePlatform&) {}, "Z:", "Y:"},
      {"X: chosen, Z: taken", [](FakeDrivePlatform& d) { d.Map("Z:", "\\\\other\\s"); }, "X:", "Y:"},
      {"Y: chosen, Z: free", [](FakeDrivePlatform&) {}, "Y:", "Z:"},
      {"no other usable letter",
       [](FakeDrivePlatform& d) {
         for (char l = 'C'; l <= 'Y'; ++l) d.type[std::string(1, l) + ":"] = kDriveFixed;
       },
       "Z:", nullptr},
      {"others all mapped",
       [](FakeDrivePlatform& d) {
         for (char l = 'D'; l <= 'Y'; ++l) d.Map(std::string(1, l) + ":", "\\\\other\\s");
       },
       "Z:", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    net.devices.clear();
    drives.remote.clear();
    drives.type.clear();
    drives.type["C:"] = kDriveFixed;
    c.setup(drives);
    net.Add(Nas());
    RunMain([&](CMainDlg& dlg) {
      Map(dlg, 0, c.chosen);
      Lines expected{Cancel(c.chosen), Add(c.chosen, kShare, "\"\"", "\"\"", 1)};
      if (c.companion != nullptr) expected.push_back(Add(c.companion, kCompanion, "NULL", "NULL", 1));
      EXPECT_EQ(Join(expected), Join(drives.calls));
      EXPECT_EQ(kMapped, RecordedMessages());
    });
  }
}

TEST_F(DriveMappingTest, UsedLetterIsTakenOnlyAfterTheQuestionIsAccepted) {
  for (int answer : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
    net.devices.clear();
    drives.remote.clear();
    net.Add(Nas());
    drives.Map("Z:", "\\\\192.168.0.32\\media");
    AddonFlowState.DriveInUseAccepted = answer == IDOK ? 0 : 1;
    bool asked = false;
    RunMain([&](CMainDlg& dlg) {
      fwtest::PushModalAction([&](CDialog& d) {
        asked = dynamic_cast<CDriveInUseDlg*>(&d) != nullptr;
        fwtest::ClickButton(d, answer);
      });
      Map(dlg, 0, "Z: \\\\192.168.0.32\\media");
      EXPECT_TRUE(asked);
      EXPECT_EQ(answer == IDOK ? 1 : 0, AddonFlowState.DriveInUseAccepted);
      if (answer == IDCANCEL) {
        EXPECT_EQ("", Join(drives.calls));
        EXPECT_EQ("", RecordedMessages());
        EXPECT_EQ("\\\\192.168.0.32\\media", drives.remote["Z:"]);
        return;
      }
      EXPECT_EQ(Join({Cancel("Z:"), Add("Z:", kShare, "\"\"", "\"\"", 1), Add("Y:", kCompanion, "NULL", "NULL", 1)}),
                Join(drives.calls));
      EXPECT_EQ(kMapped, RecordedMessages());
      EXPECT_EQ("Z:", ItemText(dlg.shareListCtrl, 0, 1));
      EXPECT_EQ("", ItemText(dlg.shareListCtrl, 1, 1)) << "media lost its letter";
    });
  }
}

TEST_F(DriveMappingTest, QuestionThatFailsToShowMapsNothing) {
  net.Add(Nas());
  drives.Map("Z:", "\\\\192.168.0.32\\media");
  AddonFlowState.DriveInUseAccepted = 1;  // the last question's answer
  RunMain([&](CMainDlg& dlg) {
    // The question ends as a dialog that could not be created does
    // (DoModal's -1), with neither button pressed.
    fwtest::PushModalAction([](CDialog& d) { d.EndDialog(-1); });
    Map(dlg, 0, "Z: \\\\192.168.0.32\\media");
    EXPECT_EQ(0, AddonFlowState.DriveInUseAccepted);
    EXPECT_EQ("", Join(drives.calls));
    EXPECT_EQ("", RecordedMessages());
    EXPECT_EQ("\\\\192.168.0.32\\media", drives.remote["Z:"]);
  });
}

TEST_F(DriveMappingTest, FailedMappingShowsThatTheOldConnectionIsGone) {
  net.Add(Nas());
  drives.Map("Z:", "\\\\192.168.0.32\\media");
  drives.accepts = [](const char*, const char*, unsigned) { return false; };
  RunMain([&](CMainDlg& dlg) {
    fwtest::PushModalAction([](CDialog& d) { fwtest::ClickButton(d, IDOK); });  // letter in use
    bool loginShown = false;
    ExpectLogin(kBob, &loginShown);
    ClickDevice(dlg, 0);
    EXPECT_EQ("Z:", ItemText(dlg.shareListCtrl, 1, 1));
    Map(dlg, 0, "Z: \\\\192.168.0.32\\media");
    EXPECT_EQ(kMapFailed, RecordedMessages());
    EXPECT_TRUE(loginShown);
    EXPECT_EQ("Z:", ComboText(dlg.driveCombo, 0)) << "the combo still offers the cancelled mapping";
    EXPECT_EQ(0, dlg.driveCombo.GetCurSel());
    EXPECT_EQ("", ItemText(dlg.shareListCtrl, 1, 1)) << "the shares list still shows the cancelled mapping";
  });
}

TEST_F(DriveMappingTest, NothingChosenMeansNothingMapped) {
  struct Case {
    const char* name;
    bool clickDevice;
    int shareRow;
    bool letter;
    const char* messages;
  };
  const char* warning = "\"Please select a device in the above section.\" (Warning, MB_ICONEXCLAMATION)\n";
  const Case cases[] = {
      {"no share", true, -1, true, warning},
      {"no device", false, -1, true, warning},
      {"no letter", true, 0, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    net.devices.clear();
    net.Add(Nas());
    RunMain([&](CMainDlg& dlg) {
      if (c.clickDevice) ClickDevice(dlg, 0);
      SelectRow(dlg.shareListCtrl, c.shareRow);
      if (!c.letter) dlg.driveCombo.SetCurSel(-1);
      drives.calls.clear();
      fwtest::ClearMessageBoxes();
      fwtest::ClickButton(dlg, IDC_MAP);
      EXPECT_EQ("", Join(drives.calls));
      EXPECT_EQ(c.messages, RecordedMessages());
    });
  }
}

TEST_F(DriveMappingTest, UnmapByShareOrByLetter) {
  struct Case {
    const char* name;
    int shareRow;  // -1: none, the combo item below instead
    const char* comboItem;
    Lines calls;
    const char* messages;
    Lines remaining;  // letters still connected
  };
  const Case cases[] = {
      {"share with its companion", 0, nullptr, {Cancel("Z:"), Cancel("Y:")}, kUnmapped, {"X:"}},
      {"share without companion", 1, nullptr, {Cancel("X:"), Cancel("")}, kUnmapped, {"Y:", "Z:"}},
      {"mapped letter in the combo", -1, "Z: \\\\192.168.0.32\\pub", {Cancel("Z:"), Cancel("")}, kUnmapped, {"X:", "Y:"}},
      {"unmapped share", 2, nullptr, {Cancel(""), Cancel("")}, kUnmapFailed, {"X:", "Y:", "Z:"}},
      {"free letter in the combo", -1, "W:", {Cancel("W:"), Cancel("")}, kUnmapFailed, {"X:", "Y:", "Z:"}},
      {"nothing chosen", -1, nullptr, {}, "", {"X:", "Y:", "Z:"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    net.devices.clear();
    drives.remote.clear();
    SimDevice device = Nas();
    device.shares = "pub:Recycle Bin - pub:media:docs";
    net.Add(device);
    drives.Map("Z:", "\\\\192.168.0.32\\pub");
    drives.Map("Y:", "\\\\192.168.0.32\\Recycle Bin - pub");
    drives.Map("X:", "\\\\192.168.0.32\\media");
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      SelectRow(dlg.shareListCtrl, c.shareRow);
      dlg.driveCombo.SetCurSel(c.comboItem ? ComboIndex(dlg.driveCombo, c.comboItem) : -1);
      drives.calls.clear();
      fwtest::ClearMessageBoxes();
      fwtest::ClickButton(dlg, IDC_UNMAP);
      EXPECT_EQ(Join(c.calls), Join(drives.calls));
      EXPECT_EQ(c.messages, RecordedMessages());
      Lines remaining;
      for (const auto& r : drives.remote) remaining.push_back(r.first);
      EXPECT_EQ(Join(c.remaining), Join(remaining));
      // The window shows what is left.
      for (int row = 0; row < 2; ++row) {
        const std::string letter = row == 0 ? "Z:" : "X:";
        EXPECT_EQ(drives.remote.count(letter) ? letter : "", ItemText(dlg.shareListCtrl, row, 1));
      }
      EXPECT_EQ(drives.remote.count("Z:") ? "Z: \\\\192.168.0.32\\pub" : "Z:", ComboText(dlg.driveCombo, 0));
    });
  }
}

TEST_F(DriveMappingTest, RefreshMatchesTheHostExactlyAfterMappingAndIgnoringCaseAfterUnmapping) {
  SimDevice device = Nas();
  device.shares = "pub:media:docs";
  net.Add(device);
  drives.Map("X:", "\\\\NAS1\\media");  // through the name, other case
  drives.Map("W:", "\\\\nas1\\docs");
  RunMain([&](CMainDlg& dlg) {
    Map(dlg, 0, "Z:");
    EXPECT_EQ(kMapped, RecordedMessages());
    EXPECT_EQ("Z:", ItemText(dlg.shareListCtrl, 0, 1));
    EXPECT_EQ("", ItemText(dlg.shareListCtrl, 1, 1)) << "NAS1 is not nas1 after mapping";
    EXPECT_EQ("W:", ItemText(dlg.shareListCtrl, 2, 1));

    SelectRow(dlg.shareListCtrl, 2);
    fwtest::ClearMessageBoxes();
    fwtest::ClickButton(dlg, IDC_UNMAP);
    EXPECT_EQ(kUnmapped, RecordedMessages());
    EXPECT_EQ("X:", ItemText(dlg.shareListCtrl, 1, 1)) << "NAS1 is nas1 after unmapping";
    EXPECT_EQ("", ItemText(dlg.shareListCtrl, 2, 1));
  });
}

TEST_F(DriveMappingTest, DriveInUseDialogRecordsItsAnswer) {
  struct Case {
    const char* name;
    int before;
    std::function<void(CDialog&)> act;
    int after;
  };
  const Case cases[] = {
      {"OK", 0, [](CDialog& d) { fwtest::ClickButton(d, IDOK); }, 1},
      {"Cancel", 1, [](CDialog& d) { fwtest::ClickButton(d, IDCANCEL); }, 0},
      {"Escape", 1, [](CDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }, 0},
      {"close", 1, [](CDialog& d) { d.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AddonFlowState.DriveInUseAccepted = c.before;
    CDriveInUseDlg dlg;
    fwtest::PushModalAction([&](CDialog& d) {
      for (int id : {IDOK, IDCANCEL})
        for (int face = 0; face < 4; ++face) EXPECT_TRUE(dlg.SkinButton(id)->HasImage(face)) << id << " " << face;
      EXPECT_EQ(UINT(IDB_DRIVE_IN_USE_BG), dlg.Settings().backgroundId);
      c.act(d);
    });
    dlg.DoModal();
    EXPECT_FALSE(fwtest::ModalActionsPending());
    EXPECT_EQ(c.after, AddonFlowState.DriveInUseAccepted);
  }
}
