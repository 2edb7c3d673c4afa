// The code-page (language) add-on: the language table, the files written
// for each language on each volume layout, and the "Language" dialog
// (template 139) that checks the device's disk and takes the choice.
#pragma once
#include <cstdint>

#include "framework.h"
#include "install_run.h"
#include "skin_dialog.h"

struct LanguageRow {
  const char* label;  // as the combo box shows it
  const char* codePage;  // sent with SetCodePage
  bool needsExtended;  // offered only when the device reported disk status 5
  bool writesFiles;  // false: only the code page is set
};
constexpr int kLanguageCount = 9;
extern const LanguageRow LanguageTable[kLanguageCount];

// Catalogue numbers (kind "CODEPAGE") written for a language row on a
// layout, in writing order, ending with 0; an empty list for rows that
// write no files (and for rows outside the table).
const uint16_t* CodePageFileSet(int row, VolumeLayout layout);

// Row of LanguageTable whose code page is the text codePage, or -1.
int LanguageRowOfCodePage(const char* codePage);

// Row refused on this device: extended rows when ExtendedCodePages is 0.
bool IsUnsupportedLanguage(int row);

class CLanguageDlg : public CSkinDialog {
public:
  explicit CLanguageDlg(CWnd* pParent = nullptr);

  // Polls the disk status (and the code page) before the dialog shows; a
  // device that cannot take a code page is told so and the dialog ends.
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // True when OK accepted a language: the install follows.
  bool confirmed() const { return m_confirmed; }

  CComboBox languageCombo;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void OnSelectionChange();
  // The four initialisation endings: message, flow abandoned, dialog ended.
  void Abandon(const char* message);
  bool m_confirmed = false;
};

// The language flow after the Language command: the language dialog, the
// install run, and then either the restart wait or, after a failed copy,
// the language dialog again.
void RunLanguageFlow(CWnd* owner);

// The install window's code-page branch (timer 1), run after
// ResolveTargetFolder.
void RunCodePageInstall(CInstallProgressDlg& dlg, const TargetFolder& target);
