// Drive mapping: a share of the clicked device to a local letter, and back.
// A share's companion ("Recycle Bin - " and the share's name) follows it
// onto a spare letter and off again.

#include <algorithm>
#include <cstring>
#include <string>

#include "addon_state.h"
#include "app_state.h"
#include "commands.h"
#include "drive_in_use_dlg.h"
#include "drive_table.h"
#include "host_platform.h"
#include "lan_rules.h"
#include "login_dlg.h"
#include "main_dlg.h"
#include "share_match.h"
#include "windows_version.h"

namespace {

constexpr char kMapFailedText[] = "Failed to map drive.";
constexpr char kMappedText[] = "Successfully mapped drive.";
constexpr char kUnmapFailedText[] =
    "Unable to disconnect this drive.\n"
    "Please select a drive to disconnect and verify that the drive is not being accessed.";
constexpr char kUnmappedText[] = "Successfully unmapped drive.";

// The old-NT login is tried this many times in a row, without a pause.
constexpr int kOldNtAttempts = 6;
// WNetGetUserA's buffer for the logged-on user.
constexpr size_t kUserNameCapacity = 260;

// The credentials and flags of one WNetAddConnection2A attempt.
struct Attempt {
  const char* password;
  const char* user;
  unsigned flags;
};

bool Connect(const NetConnection& record, const Attempt& attempt) {
  return ActiveDrivePlatform().AddConnection(record, attempt.password, attempt.user, attempt.flags) ==
         kNetNoError;
}

// "domain\name"
std::string DomainUser(const char* domain, const char* name) { return std::string(domain) + "\\" + name; }

}  // namespace

void CMainDlg::OnMapDrive() {
  LoginForAdmin = 0;
  CopyTextField(CommandBuffers.adminUser, "");
  CopyTextField(CommandBuffers.adminPassword, "");
  char version[64];
  GetWindowsVersionName(version, sizeof version, nullptr);
  const bool oldNt = VersionNameIsOldNt(version);
  const bool vista = VersionNameIsVista(version);

  const int deviceRow = SelectedDeviceRow();
  std::string deviceName, deviceAddress;
  if (deviceRow >= 0) {
    deviceName = deviceListCtrl.GetItemText(deviceRow, 0);
    deviceAddress = deviceListCtrl.GetItemText(deviceRow, 1);
    CopyTextField(CurrentDeviceAddress, deviceAddress.c_str());
  }
  const int shareRow = FirstSelectedFromTop(shareListCtrl);
  if (deviceRow < 0 || shareRow < 0) {
    MessageBox(kNoDeviceSelectedMessage.text, "Warning", MB_ICONEXCLAMATION);  // the LAN change's text, as a warning
    return;
  }
  const std::string shareName = shareListCtrl.GetItemText(shareRow, 0);

  const int letterItem = driveCombo.GetCurSel();
  if (letterItem < 0) return;
  std::string itemText;
  driveCombo.GetLBText(letterItem, itemText);
  const std::string letter = itemText.substr(0, 2);
  if (itemText.find(": ") != std::string::npos) {
    // Cleared first: a question that fails to show must not reuse the last
    // answer and map over the letter.
    AddonFlowState.DriveInUseAccepted = 0;
    CDriveInUseDlg question(this);
    question.DoModal();
    if (AddonFlowState.DriveInUseAccepted == 0) return;
  }

  const std::string remote = "\\\\" + deviceAddress + "\\" + shareName;
  const std::string companionRemote = "\\\\" + deviceAddress + "\\" + kCompanionPrefix + shareName;
  const NetConnection share{kResourceTypeDisk, letter.c_str(), remote.c_str(), nullptr};
  const char* spare = FindSpareDriveLetter(letter.c_str());
  const std::string spareLetter = spare != nullptr ? spare : "";

  // Whatever holds the letter now is dropped, even with files open.
  ActiveDrivePlatform().CancelConnection(letter.c_str(), kConnectUpdateProfile, true);

  std::string user;  // texts the attempts point into
  Attempt mapped{};  // the attempt that succeeded
  bool connected = false;
  if (oldNt) {
    {
      CLoginDlg login(this);
      login.DoModal();
    }
    mapped = {CommandBuffers.adminPassword, CommandBuffers.adminUser, kConnectUpdateProfile};
    for (int i = 0; i < kOldNtAttempts && !connected; ++i) connected = Connect(share, mapped);
  } else {
    std::memset(CommandBuffers.domain, 0, sizeof CommandBuffers.domain);
    QueryDomain();
    const bool inDomain = CommandBuffers.domain[0] != '\0';
    if (inDomain) {
      char loggedOn[kUserNameCapacity] = {};
      ActiveDrivePlatform().LoggedOnUser(loggedOn, sizeof loggedOn);
      user = DomainUser(CommandBuffers.domain, loggedOn);
      mapped = {nullptr, user.c_str(), kConnectUpdateProfile};
      connected = Connect(share, mapped);
    } else {
      mapped = {"", "", kConnectUpdateProfile};
      connected = Connect(share, mapped);
      // The companion goes with Windows' default credentials after this one.
      if (connected) mapped = {nullptr, nullptr, kConnectUpdateProfile};
    }
    if (!connected) {
      if (vista) {
        // Windows asks for the credentials itself.
        connected = Connect(share, {"", "", kConnectUpdateProfile | kConnectInteractive});
        mapped = {nullptr, nullptr, kConnectUpdateProfile | kConnectInteractive};
      } else {
        {
          CLoginDlg login(this);
          login.DoModal();
        }
        user = inDomain ? DomainUser(CommandBuffers.domain, CommandBuffers.adminUser) : CommandBuffers.adminUser;
        mapped = {CommandBuffers.adminPassword, user.c_str(), kConnectUpdateProfile};
        connected = Connect(share, mapped);
      }
    }
  }

  if (!connected) {
    MessageBox(kMapFailedText, "Error", MB_ICONHAND);
    // The letter's old connection was cancelled above: show what is left.
    ScanMappedDrives();
    FillDriveLetterCombo();
    FillShareList(deviceName.c_str(), deviceAddress.c_str(), true, HostMatch::NameOrAddressExact);
    return;
  }

  if (!spareLetter.empty()) {
    // The companion's outcome is not looked at.
    Connect({kResourceTypeDisk, spareLetter.c_str(), companionRemote.c_str(), nullptr}, mapped);
  }

  MessageBox(kMappedText, "Confirm", MB_ICONINFORMATION);
  ScanMappedDrives();
  FillDriveLetterCombo();
  FillShareList(deviceName.c_str(), deviceAddress.c_str(), true, HostMatch::NameOrAddressExact);
}

void CMainDlg::OnUnmapDrive() {
  std::string location, shareName;
  const int shareRow = FirstSelectedFromTop(shareListCtrl);
  if (shareRow >= 0) {
    location = shareListCtrl.GetItemText(shareRow, 1);
    shareName = shareListCtrl.GetItemText(shareRow, 0);
  } else {
    const int item = driveCombo.GetCurSel();
    if (item < 0) return;
    driveCombo.GetLBText(item, location);
  }

  const std::string letter = location.substr(0, 2);
  const std::string companion = kCompanionPrefix + shareName;
  const std::string companionLetter = FindRecycleBinDrive(companion.c_str());

  DrivePlatform& platform = ActiveDrivePlatform();
  const unsigned long result = platform.CancelConnection(letter.c_str(), kConnectUpdateProfile, true);
  platform.CancelConnection(companionLetter.c_str(), kConnectUpdateProfile, true);
  if (result != kNetNoError) {
    MessageBox(kUnmapFailedText, "Error", MB_ICONHAND);
    return;
  }

  MessageBox(kUnmappedText, "Confirm", MB_ICONINFORMATION);
  ScanMappedDrives();
  FillDriveLetterCombo();
  const int deviceRow = SelectedDeviceRow();
  if (deviceRow >= 0) {
    const std::string name = deviceListCtrl.GetItemText(deviceRow, 0);
    const std::string address = deviceListCtrl.GetItemText(deviceRow, 1);
    FillShareList(name.c_str(), address.c_str(), true, HostMatch::NameOrAddressNoCase);
  }
}
