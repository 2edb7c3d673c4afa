// The install run shared by the code-page and BitTorrent add-ons: the
// target folder on the device, payload writing, the "Loading....." window
// whose first timer tick runs the install, and the run's two endings.
#pragma once
#include "skin_dialog.h"

enum class VolumeLayout {
  LetterLayout,  // first volume "HDD_a", or no name: PowerPC ".o" modules
  NumberLayout,  // first volume "HDD_1": ARM ".ko" and "_12.ko" modules
};

// Timer ids of the install window: which branch its first tick runs.
constexpr UINT_PTR kCodePageRunTimer = 1;
constexpr UINT_PTR kBtRunTimer = 2;

// Where an add-on goes on the device, relative to the device address.
struct TargetFolder {
  bool decided = false;  // false: the first volume name was neither HDD_a nor HDD_1
  VolumeLayout layout = VolumeLayout::LetterLayout;
  char folder[96] = {};  // e.g. "HDD_a\.codepages"
};

// Sends "rw" (SetMountMode), asks up to ten times for the first volume name
// and derives the folder of the add-on that timerId runs. A name other than
// "HDD_a" or "HDD_1" (any case) leaves it undecided: the run then takes the
// failure ending without writing anything.
TargetFolder ResolveTargetFolder(UINT_PTR timerId);

// Writes catalogue payload (kind, number) to firstPath; a firstPath that
// contains "C:\" is a local staging file copied on to secondPath. 1 when
// the payload was written whole (opened, every byte written, closed without
// error; or, through the staging file, copied) and its destination exists
// afterwards, else 0; sets AddonFlowState.LastCopyFailed to the opposite.
// A (kind, number) the catalogue does not hold is a failed write.
int WritePayloadFile(const char* kind, int number, const char* firstPath, const char* secondPath);

// Longest destination path, with its terminator.
constexpr size_t kMaxPayloadPath = 128;

// "\\address\folder\name" from CurrentDeviceAddress, the target folder and
// a file name; false (path emptied) when it would not fit.
bool FormatPayloadPath(char (&path)[kMaxPayloadPath], const char* folder, const char* name);

// The "Loading....." window (template 180): its first timer tick runs the
// install (timer id 2 when AddonFlowState.BtInstallPending is 1, else 1).
// Enter, Esc and the close command do nothing; only a run's ending closes it.
class CInstallProgressDlg : public CSkinDialog {
public:
  explicit CInstallProgressDlg(CWnd* pParent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  // Ends the window as cancelled (the endings of a run).
  void EndRun(UINT_PTR timerId);
  // True once a run has ended the window.
  bool ended() const { return m_ended; }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void OnTimer(UINT_PTR timerId);
  bool m_running = false;
  bool m_ended = false;
};

// The restart wait that follows a successful install (dialog 141).
void ShowRestartWait(CWnd* parent);

// Endings of a run. Success: the caller has sent its final command; the
// window ends and the timer is killed. Failure: LastCopyFailed is set, the
// window ends, the timer is killed, "stop" is sent and "Please check hard
// drives." is shown.
void EndInstallSuccess(CInstallProgressDlg& dlg, UINT_PTR timerId);
void EndInstallFailure(CInstallProgressDlg& dlg, UINT_PTR timerId);
