// The BitTorrent add-on: the button flow (administrator login, readiness
// polls, install run, restart wait, refresh) and its install branch.
#pragma once
#include "framework.h"
#include "install_run.h"

// Local folder the two programs are staged in before they are copied to the
// device; removed at the end of a flow that ran its course.
constexpr char kBtStagingFolder[] = "C:\\bt\\";

// Polls the device's disk status and BitTorrent firmware (blocking, every
// pause through the clock). 1 when the disk is ready and the firmware takes
// the add-on; otherwise tells the user why on owner, sets
// AddonFlowState.AddonAborted to -1 and gives 0.
int CheckBtReadiness(CWnd* owner);

// The install window's BitTorrent branch (timer 2), run after
// ResolveTargetFolder.
void RunBtInstall(CInstallProgressDlg& dlg, const TargetFolder& target);
