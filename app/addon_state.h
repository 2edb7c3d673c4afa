// The flags that carry results between the add-on dialogs, the drive
// mapping and the main window. One process-wide record, all zero at start.
#pragma once

struct AddonFlowStateRecord {
  // -1 after every abandoning path of the code-page and BitTorrent flows;
  // 0 when the restart wait has run its course (the main window refreshes).
  int AddonAborted;
  // 1 from the BitTorrent button until its install run starts: the install
  // window then runs the BitTorrent branch (timer id 2).
  int BtInstallPending;
  // 1 after a successful BitTorrent install, until its flow ends.
  int BtInstalled;
  // 1 when the last payload written was not found at its destination.
  int LastCopyFailed;
  // 1 when the device reported disk status 5.
  int ExtendedCodePages;
  // Chosen row of the language table (0..8).
  int SelectedLanguageIndex;
  // Code-page number text of the install under way ("950" ...).
  char InstallCodePage[8];
  // Widget-engine prompt: 1 Download, 0 Next.
  int WidgetPromptChoice;
  // Model choice: -1 cancelled, else 0..2.
  int ModelChoice;
  // Drive-letter-in-use question: 1 use the letter anyway, 0 do not.
  int DriveInUseAccepted;
};
extern AddonFlowStateRecord AddonFlowState;
