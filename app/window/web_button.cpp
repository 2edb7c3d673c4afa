// The main window's Web button: the selected device's own pages in the
// default browser, once the reachability probe says the device answers.

#include <cstdio>
#include <string>

#include "app_state.h"
#include "clock.h"
#include "commands.h"
#include "main_dlg.h"
#include "shell_platform.h"
#include "web_config.h"

namespace {

// Where Windows records the default browser (HKEY_LOCAL_MACHINE, default
// values): its key name, and under that name the command that starts it.
constexpr char kBrowserKey[] = "Software\\Clients\\StartMenuInternet";
constexpr char kBrowserCommandKey[] = "Software\\Clients\\StartMenuInternet\\%s\\shell\\open\\command";

// One look at the probe, and the pause before the next; two pauses at most.
constexpr int kReachabilityPauseMs = 1000;
constexpr int kReachabilityWaits = 2;

// WinExec results after which the browser's own command is given up for
// "explorer": file not found, path not found, bad format.
constexpr UINT kExecFileNotFound = 2;
constexpr UINT kExecPathNotFound = 3;
constexpr UINT kExecBadFormat = 11;

}  // namespace

bool WaitForDeviceReachable(CMainDlg& window) {
  for (int waits = 0;; ++waits) {
    const int reachability = DeviceReachability;
    if (reachability == 1) {
      DeviceReachability = 0;
      return true;
    }
    if (reachability == -1 || waits == kReachabilityWaits) break;
    PauseMs(kReachabilityPauseMs);
  }
  window.MessageBox("Device is no longer available.", "Warning", MB_ICONEXCLAMATION);
  window.RunRefreshSequence();
  return false;
}

void CMainDlg::OnOpenWebConfig() {
  const int item = SelectedDeviceRow();
  if (item < 0) {
    MessageBox("Please select a device to configure.", "Warning", MB_ICONEXCLAMATION);
    return;
  }
  char address[sizeof CurrentDeviceAddress];
  deviceListCtrl.GetItemText(item, 1, address, sizeof address);
  CopyTextField(CurrentDeviceAddress, address);

  // The probe checks the very page the browser is about to open.
  const std::string url = DeviceWebUrl(CurrentDeviceAddress, CommandBuffers.sslMode);
  StartReachabilityProbe(url.c_str());
  if (!WaitForDeviceReachable(*this)) return;

  const std::string browser = ReadRegistryString(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr);
  std::string command;
  if (browser.find("IE") != std::string::npos) {
    command = ExplorerCommand(url);
  } else {
    char commandKey[sizeof kBrowserCommandKey + kRegistryText];
    std::snprintf(commandKey, sizeof commandKey, kBrowserCommandKey, browser.c_str());
    command = BrowserCommand(ReadRegistryString(HKEY_LOCAL_MACHINE, commandKey, nullptr), url);
  }
  const UINT result = ActiveShellPlatform().Exec(command.c_str(), SW_HIDE);
  if (result == kExecFileNotFound || result == kExecPathNotFound || result == kExecBadFormat) OpenWithExplorer(url);
}
