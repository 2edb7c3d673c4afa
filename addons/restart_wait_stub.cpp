// Stand-ins for the restart wait and the BitTorrent branch until they join:
// the wait reports that the flow ran to its end; the branch ends the run.
#include "addon_state.h"
#include "install_run.h"

void ShowRestartWait(CWnd*) { AddonFlowState.AddonAborted = 0; }

void RunBtInstall(CInstallProgressDlg& dlg, const TargetFolder&) { EndInstallSuccess(dlg, kBtRunTimer); }
