// The login dialog, the administrator password check and the Windows
// version naming.
#include <cstring>

#include "app_fixture.h"
#include "commands.h"
#include "login_dlg.h"
#include "resource.h"

using LoginTest = AppTest;

namespace {

std::string DlgText(CWnd& dlg, int id) {
  std::string text;
  dlg.GetDlgItemText(id, text);
  return text;
}

// Types text into an edit as keystrokes do.
void Type(CWnd& dlg, int id, const std::string& text) {
  HWND edit = ::GetDlgItem(dlg.m_hWnd, id);
  for (char c : text) ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

}  // namespace

TEST_F(LoginTest, AdministratorModeShowsAdminGreyedAndLimitsBothEdits) {
  LoginForAdmin = 1;
  CLoginDlg login;
  fwtest::PushModalAction([&](CDialog& d) {
    std::string title;
    d.GetWindowText(title);
    EXPECT_EQ("Login", title);
    EXPECT_EQ("admin", DlgText(d, 1016));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(d.m_hWnd, 1016)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(d.m_hWnd, 1017)));
    for (int id : {1016, 1017})
      EXPECT_EQ(16, d.SendDlgItemMessage(id, EM_GETLIMITTEXT)) << "edit " << id;
    Type(d, 1017, "0123456789abcdefX");
    EXPECT_EQ("0123456789abcdef", DlgText(d, 1017)) << "the 17th character is refused";
    EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(d.m_hWnd, 1017), GWL_STYLE) & ES_PASSWORD);
    for (int face = 0; face < 4; ++face) {
      EXPECT_TRUE(login.okButton.HasImage(face)) << "OK face " << face;
      EXPECT_TRUE(login.cancelButton.HasImage(face)) << "Cancel face " << face;
    }
    EXPECT_EQ(UINT(IDB_LOGIN_BG), login.Settings().backgroundId);
    EXPECT_EQ(RGB(255, 255, 255), login.Settings().staticTextColor);
    fwtest::ClickButton(d, IDOK);
  });
  login.DoModal();
  EXPECT_FALSE(fwtest::ModalActionsPending());
  EXPECT_STREQ("admin", CommandBuffers.adminUser);
  EXPECT_STREQ("0123456789abcdef", CommandBuffers.adminPassword);
}

TEST_F(LoginTest, ShareModeOnNtAsksForTheUserName) {
  LoginForAdmin = 0;
  host.PlayXp();
  CLoginDlg login;
  fwtest::PushModalAction([&](CDialog& d) {
    EXPECT_EQ("", DlgText(d, 1016));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(d.m_hWnd, 1016)));
    Type(d, 1016, "abcdefghijklmnopq");
    EXPECT_EQ("abcdefghijklmnop", DlgText(d, 1016)) << "the 17th character is refused";
    d.SetDlgItemText(1016, "bob");
    Type(d, 1017, "pw");
    fwtest::ClickButton(d, IDOK);
  });
  login.DoModal();
  EXPECT_STREQ("bob", CommandBuffers.adminUser);
  EXPECT_STREQ("pw", CommandBuffers.adminPassword);
}

TEST_F(LoginTest, ShareModeOn98AndMeShowsTheWindowsUserGreyed) {
  for (bool me : {false, true}) {
    SCOPED_TRACE(me ? "Windows ME" : "Windows 98");
    LoginForAdmin = 0;
    if (me)
      host.PlayMe();
    else
      host.Play98();
    host.userName = "alice";
    CLoginDlg login;
    fwtest::PushModalAction([&](CDialog& d) {
      EXPECT_EQ("alice", DlgText(d, 1016));
      EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(d.m_hWnd, 1016)));
      Type(d, 1017, "pw");
      fwtest::ClickButton(d, IDOK);
    });
    login.DoModal();
    EXPECT_STREQ("alice", CommandBuffers.adminUser);
    EXPECT_STREQ("pw", CommandBuffers.adminPassword);
  }
}

TEST_F(LoginTest, LongWindowsUserNameIsShownAsItWillBeSent) {
  host.Play98();
  host.userName = "averyveryverylongusername";
  CLoginDlg login;
  fwtest::PushModalAction([&](CDialog& d) {
    EXPECT_EQ("averyveryverylon", DlgText(d, 1016));
    fwtest::ClickButton(d, IDOK);
  });
  login.DoModal();
  EXPECT_FALSE(fwtest::ModalActionsPending()) << "OK did not close the dialog";
  EXPECT_STREQ("averyveryverylon", CommandBuffers.adminUser);
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
}

TEST_F(LoginTest, CancelAndEscapeLeaveTheCredentialsAlone) {
  for (int how : {IDCANCEL, VK_ESCAPE}) {
    SCOPED_TRACE(how == IDCANCEL ? "Cancel" : "Escape");
    host.PlayXp();
    std::strcpy(CommandBuffers.adminUser, "before");
    std::strcpy(CommandBuffers.adminPassword, "kept");
    CLoginDlg login;
    fwtest::PushModalAction([&](CDialog& d) {
      Type(d, 1016, "other");
      Type(d, 1017, "typed");
      if (how == IDCANCEL) {
        fwtest::ClickButton(d, IDCANCEL);
      } else {
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    });
    const INT_PTR result = login.DoModal();
    EXPECT_EQ(IDOK, result) << "both ways end with the same result";
    EXPECT_STREQ("before", CommandBuffers.adminUser);
    EXPECT_STREQ("kept", CommandBuffers.adminPassword);
  }
}

TEST_F(LoginTest, EmptyAdministratorPasswordIsAcceptedWithoutADialog) {
  SimDevice device;
  net.Add(device);
  SelectDevice(device);
  std::strcpy(CommandBuffers.adminUser, "someone");
  std::strcpy(CommandBuffers.adminPassword, "old");
  EXPECT_TRUE(ConfirmAdminPassword());
  EXPECT_EQ("3/4", net.Trace());
  const Bytes data = net.requests[0].Data();
  EXPECT_EQ(std::string("admin\x55\xAA"), std::string(data.begin(), data.end()));
  EXPECT_TRUE(fwtest::UnexpectedDialogs().empty());
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
}

TEST_F(LoginTest, PasswordTypedInTheDialogIsTriedOnce) {
  struct Case {
    const char* typed;  // nullptr: Cancel
    bool accepted;
  };
  for (const Case& c : {Case{"secret", true}, Case{"guess", false}, Case{nullptr, false}}) {
    SCOPED_TRACE(c.typed ? c.typed : "Cancel");
    net.requests.clear();
    fwtest::ClearMessageBoxes();
    ClearDeviceList();
    net.devices.clear();
    SimDevice device;
    device.password = "secret";
    net.Add(device);
    SelectDevice(device);
    LoginForAdmin = 1;
    bool shown = false;
    fwtest::PushModalAction([&](CDialog& d) {
      shown = true;
      EXPECT_EQ("admin", DlgText(d, 1016));
      if (c.typed == nullptr) {
        fwtest::ClickButton(d, IDCANCEL);
        return;
      }
      Type(d, 1017, c.typed);
      fwtest::ClickButton(d, IDOK);
    });
    EXPECT_EQ(c.accepted, ConfirmAdminPassword());
    EXPECT_TRUE(shown);
    ASSERT_EQ("3/4 3/4", net.Trace());
    const Bytes second = net.requests[1].Data();
    EXPECT_EQ(std::string("admin\x55\xAA") + (c.typed ? c.typed : ""), std::string(second.begin(), second.end()));
    if (c.accepted) {
      EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
    } else {
      ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
      EXPECT_EQ("Wrong administrator password input!", fwtest::MessageBoxes()[0].text);
      EXPECT_EQ("Error", fwtest::MessageBoxes()[0].caption);
      EXPECT_EQ(UINT(MB_ICONHAND), fwtest::MessageBoxes()[0].icon());
    }
  }
}

TEST_F(LoginTest, SilentDeviceCountsAsRefusing) {
  SimDevice device;
  SelectDevice(device);  // in the list, but nothing answers
  LoginForAdmin = 1;
  fwtest::PushModalAction([](CDialog& d) { fwtest::ClickButton(d, IDOK); });
  EXPECT_FALSE(ConfirmAdminPassword());
  EXPECT_EQ(2u, net.Of(kQueryRequest, kCodeAdminLogin).size()) << net.Trace();
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ("Wrong administrator password input!", fwtest::MessageBoxes()[0].text);
}

TEST_F(LoginTest, WindowsVersionNameComesFromGetVersionEx) {
  struct Case {
    DWORD platform, major, minor, build;
    const char* name;
    int code;
  };
  const Case cases[] = {
      {VER_PLATFORM_WIN32_NT, 5, 1, 2600, "Windows XP", 104},
      {VER_PLATFORM_WIN32_NT, 6, 0, 6002, "Vista", 0},
      {VER_PLATFORM_WIN32_NT, 6, 1, 7601, "Vista", 0},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x04000000u | 1998, "Windows 98", 4},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1997, "unknown Windows version", 0},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 3000, "Windows ME", 7},
      {VER_PLATFORM_WIN32_NT, 5, 2, 3790, "unknown Windows version", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.platformId = c.platform;
    host.major = c.major;
    host.minor = c.minor;
    host.build = c.build;
    char name[64] = "x";
    int code = -1;
    EXPECT_TRUE(GetWindowsVersionName(name, sizeof name, &code));
    EXPECT_STREQ(c.name, name);
    EXPECT_EQ(c.code, code);
    EXPECT_EQ(148u, host.versionSize);
  }
  host.versionResult = false;
  char name[64] = "x";
  int code = -1;
  EXPECT_FALSE(GetWindowsVersionName(name, sizeof name, &code));
  EXPECT_STREQ("unknown Windows version", name);
  EXPECT_EQ(0, code);
}
