// The code-page (language) install flow.

#include <cstring>

#include "addon_messages.h"
#include "addon_state.h"
#include "app_state.h"
#include "clock.h"
#include "commands.h"
#include "dialog_skins.h"
#include "disk_status.h"
#include "language_dlg.h"
#include "addon_entry.h"
#include "payload_rows.h"
#include "resource.h"

const LanguageRow LanguageTable[kLanguageCount] = {
    {"Traditional Chinese", "950", false, true},
    {"Simplified Chinese", "936", false, true},
    {"Western European", "850", false, true},
    {"Northern European", "865", true, false},
    {"Central European", "852", true, false},
    {"Turkish", "857", true, false},
    {"Korean Hangul", "949", false, true},
    {"Cyrillic", "866", false, true},
    {"Japanese SJIS", "932", false, true},
};

namespace {

constexpr int kPollTries = 10;
constexpr int kPollPauseMs = 1000;
constexpr int kWesternEuropeanRow = 2;
constexpr char kPayloadKind[] = "Codepage";

// Every set: the code-page table, the kernel modules (on NumberLayout all
// ".ko" builds before all "_12.ko" builds), then the unicode map(s).
struct FileSetRow {
  int row;
  uint16_t letter[8];
  uint16_t number[8];
};
constexpr FileSetRow kFileSets[] = {
    {0, {151, 153, 155, 156}, {151, 174, 192, 156}},
    {1, {157, 158, 159, 160}, {157, 175, 190, 160}},
    {2, {143, 145, 148}, {143, 179, 187, 148}},
    {6, {165, 166, 167, 168}, {165, 176, 191, 168}},
    {7, {169, 170, 185, 171, 184}, {169, 177, 183, 188, 194, 171, 184}},
    {8, {161, 162, 163, 172, 164}, {161, 173, 178, 189, 193, 164}},
};
constexpr uint16_t kNoFiles[] = {0};

constexpr char kUnicodeMessage[] = "This device supports Unicode.";
constexpr char kNotSupportedMessage[] = "Multi-language options are not supported on this device.";
constexpr char kFirmwareMessage[] =
    "This codepage does not supported in this firmware.\nPlease download the latest firmware from the support link.";

}  // namespace

const uint16_t* CodePageFileSet(int row, VolumeLayout layout) {
  for (const FileSetRow& s : kFileSets)
    if (s.row == row) return layout == VolumeLayout::NumberLayout ? s.number : s.letter;
  return kNoFiles;
}

int LanguageRowOfCodePage(const char* codePage) {
  for (int row = 0; row < kLanguageCount; ++row)
    if (std::strcmp(LanguageTable[row].codePage, codePage) == 0) return row;
  return -1;
}

bool IsUnsupportedLanguage(int row) {
  return row >= 0 && row < kLanguageCount && LanguageTable[row].needsExtended && AddonFlowState.ExtendedCodePages == 0;
}

CLanguageDlg::CLanguageDlg(CWnd* pParent) : CSkinDialog(pParent, DialogSkinSettings(IDD_LANGUAGE)) {}

void CLanguageDlg::DoDataExchange(CDataExchange* pDX) {
  CSkinDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LANGUAGE_COMBO, languageCombo);
}

BOOL CLanguageDlg::OnInitDialog() {
  // Attaches the combo box and gives the buttons their faces.
  CSkinDialog::OnInitDialog();

  int status = 0;
  for (int i = 0; i < kPollTries; ++i) {
    std::memset(CommandBuffers.diskStatus, 0, sizeof CommandBuffers.diskStatus);
    QueryDiskStatus();
    PauseMs(kPollPauseMs);
    status = DiskStatusValue(CommandBuffers.diskStatus);
    if (status >= kNoDisk && status <= kReadyExtended) break;
  }
  AddonFlowState.ExtendedCodePages = status == kReadyExtended ? 1 : 0;
  if (status == kReadyExtended) {
    MarkDiskReady();
    status = kReady;
  }

  switch (status) {
    case kNoDisk:
      Abandon(kNoDiskMessage);
      return TRUE;
    case kUnformatted: {
      ReportUnformattedDisk(m_hWnd);
      Abandon(nullptr);
      return TRUE;
    }
    case kReady: {
      int row = -1;
      for (int i = 0; i < kPollTries && row < 0; ++i) {
        std::memset(CommandBuffers.codePage, 0, sizeof CommandBuffers.codePage);
        QueryCodePage();
        PauseMs(kPollPauseMs);
        row = LanguageRowOfCodePage(CommandBuffers.codePage);
      }
      languageCombo.SetCurSel(row >= 0 ? row : kWesternEuropeanRow);
      return TRUE;
    }
    case kUnicode:
      Abandon(kUnicodeMessage);
      return TRUE;
    default:
      Abandon(kNotSupportedMessage);
      return TRUE;
  }
}

void CLanguageDlg::Abandon(const char* message) {
  if (message != nullptr) AfxMessageBox(m_hWnd, message, nullptr, MB_OK);
  AddonFlowState.AddonAborted = -1;
  EndDialog(IDOK);
}

void CLanguageDlg::OnSelectionChange() {
  if (IsUnsupportedLanguage(languageCombo.GetCurSel())) AfxMessageBox(m_hWnd, kFirmwareMessage, nullptr, MB_OK);
}

void CLanguageDlg::OnOK() {
  const int row = languageCombo.GetCurSel();
  if (row < 0 || row >= kLanguageCount) return;
  AddonFlowState.SelectedLanguageIndex = row;
  if (IsUnsupportedLanguage(row)) {
    AfxMessageBox(m_hWnd, kFirmwareMessage, nullptr, MB_OK);
    return;
  }
  m_confirmed = true;
  EndDialog(IDOK);
}

void CLanguageDlg::OnCancel() {
  AddonFlowState.AddonAborted = -1;
  EndDialog(IDCANCEL);
}

LRESULT CLanguageDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_LANGUAGE_COMBO && HIWORD(wParam) == CBN_SELCHANGE) {
    OnSelectionChange();
    return 0;
  }
  return CSkinDialog::WindowProc(message, wParam, lParam);
}

void RunCodePageInstall(CInstallProgressDlg& dlg, const TargetFolder& target) {
  const int row = AddonFlowState.SelectedLanguageIndex;
  if (row < 0 || row >= kLanguageCount) {
    EndInstallFailure(dlg, kCodePageRunTimer);
    return;
  }
  CopyTextField(AddonFlowState.InstallCodePage, LanguageTable[row].codePage);

  for (const uint16_t* n = CodePageFileSet(row, target.layout); *n != 0; ++n) {
    const PayloadRow* file = FindPayloadRow(kPayloadKind, *n);
    char path[kMaxPayloadPath];
    if (file == nullptr || !FormatPayloadPath(path, target.folder, file->writtenAs) ||
        !WritePayloadFile(kPayloadKind, *n, path, "")) {
      EndInstallFailure(dlg, kCodePageRunTimer);
      return;
    }
  }

  CopyTextField(CommandBuffers.codePage, AddonFlowState.InstallCodePage);
  SetCodePage();
  EndInstallSuccess(dlg, kCodePageRunTimer);
}

void RunLanguageFlow(CWnd* owner) {
  for (;;) {
    CLanguageDlg language(owner);
    language.DoModal();
    if (!language.confirmed()) return;
    {
      CInstallProgressDlg run(owner);
      run.DoModal();
    }
    if (AddonFlowState.LastCopyFailed != 1) {
      ShowRestartWait(owner);
      return;
    }
  }
}

bool RunLanguageAddon(CWnd* parent, bool deviceSelected) {
  if (!deviceSelected) {
    parent->MessageBox(kSelectDeviceMessage, "Error", MB_ICONHAND);
    return false;
  }
  RunLanguageFlow(parent);
  AddonFlowState.BtInstallPending = 0;
  return AddonFlowState.AddonAborted == 0;
}
