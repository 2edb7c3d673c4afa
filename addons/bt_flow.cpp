// The BitTorrent add-on install flow.

#include "bt_flow.h"

#include <cstring>

#include "addon_entry.h"
#include "addon_files.h"
#include "addon_messages.h"
#include "addon_state.h"
#include "app_state.h"
#include "clock.h"
#include "commands.h"
#include "disk_status.h"
#include "install_run.h"
#include "login_dlg.h"
#include "payload_rows.h"

namespace {

constexpr int kPollTries = 15;
constexpr int kPollPauseMs = 2000;
constexpr int kFirstFirmwarePauseMs = 1000;

constexpr char kNotSupportedMessage[] = "BitTorrent does not supported on this device now.";

// The two programs: catalogue number, staging file, name on the device.
struct BtProgram {
  int number;
  const char* stagingFile;
  const char* writtenAs;
};
constexpr BtProgram kBtPrograms[] = {
    {215, "C:\\bt\\bt", "bt"},
    {220, "C:\\bt\\btdog", "btdog"},
};
constexpr char kBtAddonName[] = "BT";

bool TextIs(const char* buffer, const char* text) { return std::strcmp(buffer, text) == 0; }

int Abandon(CWnd* owner, const char* message) {
  AfxMessageBox(owner != nullptr ? owner->GetSafeHwnd() : nullptr, message, nullptr, MB_OK);
  AddonFlowState.AddonAborted = -1;
  return 0;
}

}  // namespace

int CheckBtReadiness(CWnd* owner) {
  char* disk = CommandBuffers.diskStatus;
  for (int i = 0; i < kPollTries; ++i) {
    std::memset(disk, 0, sizeof CommandBuffers.diskStatus);
    const int answered = QueryDiskStatus();
    PauseMs(kPollPauseMs);
    if (DiskStatusIs(disk, kNoDisk) || DiskStatusIs(disk, kUnformatted) || DiskStatusIs(disk, kReady) ||
        DiskStatusIs(disk, kUnicode) || (DiskStatusIs(disk, kReadyExtended) && answered))
      break;
  }
  // 4 and 5 are ready disks here, the same as 3.
  if (DiskStatusIs(disk, kReady) || DiskStatusIs(disk, kUnicode) || DiskStatusIs(disk, kReadyExtended)) MarkDiskReady();

  char* firmware = CommandBuffers.btFirmware;
  std::memset(firmware, 0, sizeof CommandBuffers.btFirmware);
  const int firstAnswered = QueryBtFirmware();
  PauseMs(kFirstFirmwarePauseMs);
  // 2 at the first answer is final: no further polls.
  if (!(firstAnswered && TextIs(firmware, "2"))) {
    for (int i = 0; i < kPollTries; ++i) {
      std::memset(firmware, 0, sizeof CommandBuffers.btFirmware);
      QueryBtFirmware();
      PauseMs(kPollPauseMs);
      if (TextIs(firmware, "1")) break;
    }
  }

  if (DiskStatusIs(disk, kNoDisk)) return Abandon(owner, kNoDiskMessage);
  if (DiskStatusIs(disk, kUnformatted)) {
    ReportUnformattedDisk(owner != nullptr ? owner->GetSafeHwnd() : nullptr);
    AddonFlowState.AddonAborted = -1;
    return 0;
  }
  if (DiskStatusIs(disk, kReady) && TextIs(firmware, "1")) return 1;
  return Abandon(owner, kNotSupportedMessage);
}

void RunBtInstall(CInstallProgressDlg& dlg, const TargetFolder& target) {
  AddonFiles& files = ActiveAddonFiles();
  files.MakeFolder(kBtStagingFolder);  // an existing folder is fine

  for (const BtProgram& program : kBtPrograms) {
    char devicePath[kMaxPayloadPath];
    if (!FormatPayloadPath(devicePath, target.folder, program.writtenAs) ||
        !WritePayloadFile(kBtKind, program.number, program.stagingFile, devicePath)) {
      EndInstallFailure(dlg, kBtRunTimer);
      return;
    }
  }

  CopyTextField(CommandBuffers.addonName, kBtAddonName);
  RegisterAddon();
  EndInstallSuccess(dlg, kBtRunTimer);
  AddonFlowState.BtInstalled = 1;
}

bool RunBtAddon(CWnd* parent, bool deviceSelected) {
  AddonFlowState.BtInstallPending = 1;
  // Every early stop clears the pending flag, so that a later code-page
  // install is not taken for a BitTorrent one.
  if (!deviceSelected) {
    AddonFlowState.BtInstallPending = 0;
    parent->MessageBox(kSelectDeviceMessage, "Error", MB_ICONHAND);
    return false;
  }
  // The flow needs the administrator password, whatever the login dialog
  // was last asked for.
  LoginForAdmin = 1;
  if (!ConfirmAdminPassword(parent) || !CheckBtReadiness(parent)) {
    AddonFlowState.BtInstallPending = 0;
    return false;
  }

  {
    CInstallProgressDlg run(parent);
    run.DoModal();
  }
  if (AddonFlowState.BtInstalled == 1) ShowRestartWait(parent);

  if (AddonFlowState.AddonAborted != 0) return false;
  AddonFlowState.BtInstallPending = 0;
  AddonFlowState.BtInstalled = 0;
  ActiveAddonFiles().RemoveFolder(kBtStagingFolder);
  return true;
}
