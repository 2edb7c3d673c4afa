// The install run shared by the add-ons: target folder, payload writing,
// the "Loading....." window and the two endings.
#include "install_run.h"

#include <cstdio>
#include <cstring>

#include "addon_files.h"
#include "addon_state.h"
#include "app_state.h"
#include "bt_flow.h"
#include "clock.h"
#include "commands.h"
#include "dialog_skins.h"
#include "language_dlg.h"
#include "payload_catalogue.h"
#include "resource.h"

namespace {

constexpr unsigned kRunDelayMs = 2000;
constexpr int kShareNameTries = 10;
constexpr int kConnectTries = 6;
constexpr char kCodePageFolder[] = ".codepages";
constexpr char kBtFolder[] = "Nas_Prog/BT";
constexpr char kLetterVolume[] = "HDD_a";
constexpr char kNumberVolume[] = "HDD_1";
// A first path holding this text is a local staging file.
constexpr char kLocalStaging[] = "C:\\";

bool VolumeIs(const char* name, const char* volume) { return _stricmp(name, volume) == 0; }

}  // namespace

bool FormatPayloadPath(char (&path)[kMaxPayloadPath], const char* folder, const char* name) {
  const int n = std::snprintf(path, sizeof path, "\\\\%s\\%s\\%s", CurrentDeviceAddress, folder, name);
  if (n < 0 || static_cast<size_t>(n) >= sizeof path) {
    path[0] = '\0';
    return false;
  }
  return true;
}

TargetFolder ResolveTargetFolder(UINT_PTR timerId) {
  const char* kindFolder = timerId == kBtRunTimer ? kBtFolder : kCodePageFolder;

  CopyTextField(CommandBuffers.mountMode, "rw");
  SetMountMode();

  for (int i = 0; i < kShareNameTries; ++i) {
    std::memset(CommandBuffers.shareName, 0, sizeof CommandBuffers.shareName);
    QueryShareName();
    if (VolumeIs(CommandBuffers.shareName, kNumberVolume) || VolumeIs(CommandBuffers.shareName, kLetterVolume))
      break;
  }

  TargetFolder target;
  const char* volume = CommandBuffers.shareName;
  int n = -1;
  if (volume[0] == '\0' || VolumeIs(volume, kLetterVolume)) {
    target.layout = VolumeLayout::LetterLayout;
    n = std::snprintf(target.folder, sizeof target.folder, "%s\\%s", kLetterVolume, kindFolder);
  } else if (VolumeIs(volume, kNumberVolume)) {
    target.layout = VolumeLayout::NumberLayout;
    // The code-page folder keeps the device's spelling of the volume.
    if (timerId == kBtRunTimer)
      n = std::snprintf(target.folder, sizeof target.folder, "%s\\%s", kNumberVolume, kindFolder);
    else
      n = std::snprintf(target.folder, sizeof target.folder, "%s\\.systemfile\\%s", volume, kindFolder);
  }
  target.decided = n > 0 && static_cast<size_t>(n) < sizeof target.folder;
  if (!target.decided) target.folder[0] = '\0';
  return target;
}

int WritePayloadFile(const char* kind, int number, const char* firstPath, const char* secondPath) {
  AddonFiles& files = ActiveAddonFiles();
  const PayloadView payload = LookupPayload(kind, number);
  const bool staged = std::strstr(firstPath, kLocalStaging) != nullptr;
  bool written = false;

  if (payload.found()) {
    // The outcome of connecting is not used: a share already connected, or
    // reachable without it, still takes the file.
    for (int i = 0; i < kConnectTries; ++i)
      if (files.Connect(firstPath) == NO_ERROR) break;

    if (void* file = files.OpenForWrite(firstPath)) {
      const size_t put = files.Write(file, payload.data, payload.size);
      const int closed = files.Close(file);
      written = put == payload.size && closed == 0;
    }
    if (staged) {
      // An old copy on the device would block the fail-if-exists copy.
      files.Remove(secondPath);
      written = written && files.CopyFailIfExists(firstPath, secondPath);
      files.Remove(firstPath);
    }
  }
  const char* destination = staged ? secondPath : firstPath;
  const int result = written && files.Exists(destination) ? 1 : 0;
  AddonFlowState.LastCopyFailed = result ? 0 : 1;
  return result;
}

CInstallProgressDlg::CInstallProgressDlg(CWnd* pParent)
    : CSkinDialog(pParent, DialogSkinSettings(IDD_INSTALL_PROGRESS)) {}

BOOL CInstallProgressDlg::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  const UINT_PTR id = AddonFlowState.BtInstallPending == 1 ? kBtRunTimer : kCodePageRunTimer;
  SetTimer(id, ActiveClock().TimerPeriod(kRunDelayMs));
  return TRUE;
}

void CInstallProgressDlg::EndRun(UINT_PTR timerId) {
  m_ended = true;
  CSkinDialog::OnCancel();
  KillTimer(timerId);
}

LRESULT CInstallProgressDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && (wParam == kCodePageRunTimer || wParam == kBtRunTimer)) {
    OnTimer(wParam);
    return 0;
  }
  return CSkinDialog::WindowProc(message, wParam, lParam);
}

void CInstallProgressDlg::OnTimer(UINT_PTR timerId) {
  // The run pumps no messages of its own, but the failure message box
  // does: a tick that arrives meanwhile must not start a second run.
  if (m_running) return;
  m_running = true;
  // Every run starts clean, so a run that writes nothing never inherits
  // the failure of an earlier one.
  AddonFlowState.LastCopyFailed = 0;
  if (timerId == kBtRunTimer) AddonFlowState.BtInstallPending = 0;
  const TargetFolder target = ResolveTargetFolder(timerId);
  if (!target.decided) {
    // No folder to write to: nothing can arrive.
    EndInstallFailure(*this, timerId);
    return;
  }
  if (timerId == kBtRunTimer)
    RunBtInstall(*this, target);
  else
    RunCodePageInstall(*this, target);
}

void EndInstallSuccess(CInstallProgressDlg& dlg, UINT_PTR timerId) { dlg.EndRun(timerId); }

void EndInstallFailure(CInstallProgressDlg& dlg, UINT_PTR timerId) {
  AddonFlowState.LastCopyFailed = 1;
  dlg.EndRun(timerId);
  CopyTextField(CommandBuffers.serviceCommand, "stop");
  SendStopCommand();
  // The install window has ended: the message goes to the window below it.
  AfxMessageBox(::GetParent(dlg.GetSafeHwnd()), "Please check hard drives.", nullptr, MB_OK);
}
