// The code-page flow: the language dialog's checks, the files written for
// every language on both volume layouts, the endings of the install run,
// and the payload writer's rules.
#include <algorithm>
#include <cstring>

#include "codepage_fixture.h"
#include "commands.h"
#include "install_run.h"
#include "language_dlg.h"
#include "payload_catalogue.h"
#include "resource.h"

namespace {

constexpr char kAddress[] = "192.168.0.32";
constexpr char kCheckDrives[] = "Please check hard drives.";
constexpr char kFirmware[] =
    "This codepage does not supported in this firmware.\nPlease download the latest firmware from the support link.";

// Modal action: picks a language row and presses OK.
fwtest::ModalAction Choose(int row) {
  return [row](CDialog& d) {
    static_cast<CLanguageDlg&>(d).languageCombo.SetCurSel(row);
    fwtest::ClickButton(d, IDOK);
  };
}

// Modal action for the install window: lets its timer run the install.
void LetInstallRun(CDialog& d) {
  auto& run = static_cast<CInstallProgressDlg&>(d);
  for (int i = 0; i < 250 && !run.ended(); ++i) fwtest::PumpMessages(10);
  EXPECT_TRUE(run.ended()) << "the install window never ended";
}

size_t SecondPauses(const std::vector<int>& pauses) { return size_t(std::count(pauses.begin(), pauses.end(), 1000)); }

void Cancel(CDialog& d) { fwtest::ClickButton(d, IDCANCEL); }

std::string Folder(const std::string& folder, const std::string& name) {
  return std::string("\\\\") + kAddress + "\\" + folder + "\\" + name;
}

std::vector<std::string> Paths(const std::string& folder, const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& n : names) paths.push_back(Folder(folder, n));
  return paths;
}

using CodePageFlowTest = AddonTest;

struct LanguageCase {
  int row;
  const char* volume;
  const char* folder;
  const char* codePage;
  std::vector<std::string> files;
};

}  // namespace

TEST_F(CodePageFlowTest, EveryLanguageWritesItsFilesInOrderOnBothLayouts) {
  const char* letter = "HDD_a\\.codepages";
  const char* number = "HDD_1\\.systemfile\\.codepages";
  const std::vector<LanguageCase> cases = {
      {0, "HDD_a", letter, "950", {"codepage.950", "nls_cp950.o", "nls_big5.o", "unicode_map.950"}},
      {0, "HDD_1", number, "950", {"codepage.950", "nls_cp950.ko", "nls_cp950_12.ko", "unicode_map.950"}},
      {1, "HDD_a", letter, "936", {"codepage.936", "nls_cp936.o", "nls_gb2312.o", "unicode_map.936"}},
      {1, "HDD_1", number, "936", {"codepage.936", "nls_cp936.ko", "nls_cp936_12.ko", "unicode_map.936"}},
      {2, "HDD_a", letter, "850", {"codepage.850", "nls_cp850.o", "unicode_map.850"}},
      {2, "HDD_1", number, "850", {"codepage.850", "nls_cp850.ko", "nls_cp850_12.ko", "unicode_map.850"}},
      {6, "HDD_a", letter, "949", {"codepage.949", "nls_cp949.o", "nls_euc-kr.o", "unicode_map.949"}},
      {6, "HDD_1", number, "949", {"codepage.949", "nls_cp949.ko", "nls_cp949_12.ko", "unicode_map.949"}},
      {7, "HDD_a", letter, "866", {"codepage.866", "nls_cp866.o", "nls_koi8-r.o", "unicode_map.866", "unicode_map.KOI8-R"}},
      {7, "HDD_1", number, "866", {"codepage.866", "nls_cp866.ko", "nls_koi8-r.ko", "nls_cp866_12.ko", "nls_koi8-r_12.ko", "unicode_map.866", "unicode_map.KOI8-R"}},
      {8, "HDD_a", letter, "932", {"codepage.932", "nls_cp932.o", "nls_euc-jp.o", "nls_sjis.o", "unicode_map.932"}},
      {8, "HDD_1", number, "932", {"codepage.932", "nls_cp932.ko", "nls_euc-jp.ko", "nls_cp932_12.ko", "nls_euc-jp_12.ko", "unicode_map.932"}},
      // No answer to the first-volume query: the "HDD_a" folder and modules.
      {8, "", letter, "932", {"codepage.932", "nls_cp932.o", "nls_euc-jp.o", "nls_sjis.o", "unicode_map.932"}},
      // A lower-case answer keeps its spelling in the folder.
      {2, "hdd_1", "hdd_1\\.systemfile\\.codepages", "850", {"codepage.850", "nls_cp850.ko", "nls_cp850_12.ko", "unicode_map.850"}},
  };
  for (const LanguageCase& c : cases) {
    SCOPED_TRACE(std::string("row ") + std::to_string(c.row) + " on \"" + c.volume + "\"");
    files = FakeAddonFiles();
    shell = FakeShellPlatform();
    net.requests.clear();
    fwtest::ClearMessageBoxes();
    AddonFlowState.AddonAborted = -1;
    addon.shareName = c.volume;

    fwtest::PushModalAction(Choose(c.row));
    fwtest::PushModalAction(LetInstallRun);
    RunLanguageFlow(nullptr);

    EXPECT_FALSE(fwtest::ModalActionsPending());
    EXPECT_EQ(Paths(c.folder, c.files), files.written);
    for (const std::string& name : c.files) {
      const Bytes expected = CatalogueBytesOf(name);
      ASSERT_FALSE(expected.empty()) << name << " is not in the catalogue";
      EXPECT_TRUE(files.files[Folder(c.folder, name)] == expected) << name << " differs from the catalogue";
    }
    EXPECT_EQ(std::vector<std::string>{"rw"}, SetTexts(kCodeMountMode));
    EXPECT_EQ(std::vector<std::string>{c.codePage}, SetTexts(kCodeSetCodePage));
    EXPECT_TRUE(SetTexts(kCodeStopService).empty()) << "no stop command";
    EXPECT_EQ("", RecordedMessages());
    EXPECT_EQ(0, AddonFlowState.LastCopyFailed);
    EXPECT_EQ(0, AddonFlowState.AddonAborted) << "the restart wait followed";
    EXPECT_STREQ(c.codePage, AddonFlowState.InstallCodePage);
  }
}

TEST_F(CodePageFlowTest, ExtendedRowsWriteNothingAndOnlySetTheCodePage) {
  addon.diskStatus = "5";
  for (const auto& [row, codePage] : std::vector<std::pair<int, std::string>>{{3, "865"}, {4, "852"}, {5, "857"}}) {
    SCOPED_TRACE(codePage);
    files = FakeAddonFiles();
    shell = FakeShellPlatform();
    net.requests.clear();
    // An earlier run's failure must not decide this one's ending.
    AddonFlowState.LastCopyFailed = 1;
    AddonFlowState.AddonAborted = -1;

    fwtest::PushModalAction(Choose(row));
    fwtest::PushModalAction(LetInstallRun);
    RunLanguageFlow(nullptr);

    EXPECT_FALSE(fwtest::ModalActionsPending()) << "no second language dialog";
    EXPECT_TRUE(files.written.empty());
    EXPECT_EQ(std::vector<std::string>{"rw"}, SetTexts(kCodeMountMode));
    EXPECT_EQ(std::vector<std::string>{codePage}, SetTexts(kCodeSetCodePage));
    EXPECT_EQ(1, AddonFlowState.ExtendedCodePages);
    EXPECT_EQ(0, AddonFlowState.LastCopyFailed);
    EXPECT_EQ(0, AddonFlowState.AddonAborted);
  }
  EXPECT_EQ("", RecordedMessages());
}

TEST_F(CodePageFlowTest, DiskStatusDecidesWhetherTheDialogShows) {
  struct Case {
    std::string status;
    const char* message;  // null: the dialog shows
    size_t polls;
    const char* started;
  };
  const std::vector<Case> cases = {
      {"1", "No hard drives were detected.\nPlease verify that the hard drives are properly connected before continuing.",
       1, nullptr},
      {"2", "Please format hard drive.", 1, "explorer http://192.168.0.32 (hidden)"},
      {"3", nullptr, 1, nullptr},
      {"4", "This device supports Unicode.", 1, nullptr},
      {"5", nullptr, 1, nullptr},
      {"", "Multi-language options are not supported on this device.", 10, nullptr},
      {"7", "Multi-language options are not supported on this device.", 10, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("disk status \"" + c.status + "\"");
    files = FakeAddonFiles();
    shell = FakeShellPlatform();
    net.requests.clear();
    quick.pauses.clear();
    fwtest::ClearMessageBoxes();
    AddonFlowState.AddonAborted = 0;
    addon.diskStatus = c.status;
    bool shown = false;
    if (c.message == nullptr) fwtest::PushModalAction([&](CDialog& d) { shown = true; Cancel(d); });

    CLanguageDlg dlg;
    dlg.DoModal();

    EXPECT_EQ(c.message == nullptr, shown);
    EXPECT_FALSE(fwtest::ModalActionsPending());
    EXPECT_EQ(c.polls, Queries(kCodeDiskStatus)) << "disk status queries";
    EXPECT_EQ(c.message ? std::string("\"") + c.message + "\" (Nexora Storage Utility, no icon)\n" : "",
              RecordedMessages());
    EXPECT_EQ(-1, AddonFlowState.AddonAborted);
    EXPECT_EQ(c.started ? std::vector<std::string>{c.started} : std::vector<std::string>{}, Started());
    EXPECT_EQ(c.status == "5" ? 1 : 0, AddonFlowState.ExtendedCodePages);
    EXPECT_EQ(c.polls + (c.message ? 0 : 1), SecondPauses(quick.pauses))
        << "one second after every query, disk status then code page";
  }
}

TEST_F(CodePageFlowTest, DeviceCodePageIsPreselected) {
  for (const auto& [reply, row] : std::vector<std::pair<std::string, int>>{
           {"950", 0}, {"949", 6}, {"857", 5}, {"932", 8}, {"437", 2}, {"", 2}}) {
    SCOPED_TRACE("code page \"" + reply + "\"");
    net.requests.clear();
    addon.codePage = reply;
    int selected = -2;
    fwtest::PushModalAction([&](CDialog& d) {
      selected = static_cast<CLanguageDlg&>(d).languageCombo.GetCurSel();
      Cancel(d);
    });
    CLanguageDlg dlg;
    dlg.DoModal();
    EXPECT_EQ(row, selected);
    EXPECT_EQ(row == 2 && reply != "850" ? 10u : 1u, Queries(kCodeCodePage));
  }
}

TEST_F(CodePageFlowTest, ExtendedRowsAreRefusedWithoutStatusFive) {
  for (int row : {3, 4, 5}) {
    SCOPED_TRACE(row);
    fwtest::ClearMessageBoxes();
    AddonFlowState.AddonAborted = 0;
    bool stillOpen = false;
    fwtest::PushModalAction([&](CDialog& d) {
      auto& dlg = static_cast<CLanguageDlg&>(d);
      dlg.languageCombo.SetCurSel(row);
      d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(dlg.languageCombo.m_hWnd));
      EXPECT_EQ(row, dlg.languageCombo.GetCurSel()) << "the selection stays";
      fwtest::ClickButton(d, IDOK);
      stillOpen = ::IsWindowVisible(d.m_hWnd) != FALSE;
      Cancel(d);
    });
    CLanguageDlg dlg;
    dlg.DoModal();
    EXPECT_TRUE(stillOpen) << "OK on a refused row keeps the dialog";
    EXPECT_FALSE(dlg.confirmed());
    ASSERT_EQ(2u, fwtest::MessageBoxes().size()) << RecordedMessages();
    for (const fwtest::MessageBoxCall& m : fwtest::MessageBoxes()) EXPECT_EQ(kFirmware, m.text);
    EXPECT_EQ(-1, AddonFlowState.AddonAborted) << "Cancel abandons the flow";
  }
  // A supported row changes without a word.
  fwtest::ClearMessageBoxes();
  fwtest::PushModalAction([&](CDialog& d) {
    auto& dlg = static_cast<CLanguageDlg&>(d);
    dlg.languageCombo.SetCurSel(7);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELCHANGE),
                  reinterpret_cast<LPARAM>(dlg.languageCombo.m_hWnd));
    Cancel(d);
  });
  CLanguageDlg dlg;
  dlg.DoModal();
  EXPECT_EQ("", RecordedMessages());
}

TEST_F(CodePageFlowTest, FailedSecondFileStopsTheDeviceAndOffersTheDialogAgain) {
  files.failOpen = "nls_cp932.o";
  addon.shareName = "HDD_a";
  fwtest::PushModalAction(Choose(8));
  fwtest::PushModalAction(LetInstallRun);
  bool offeredAgain = false;
  fwtest::PushModalAction([&](CDialog& d) { offeredAgain = true; Cancel(d); });
  RunLanguageFlow(nullptr);

  EXPECT_TRUE(offeredAgain);
  EXPECT_EQ(Paths("HDD_a\\.codepages", {"codepage.932"}), files.written) << "the first file stays, none after";
  EXPECT_EQ(std::vector<std::string>{"stop"}, SetTexts(kCodeStopService));
  EXPECT_TRUE(SetTexts(kCodeSetCodePage).empty()) << "no code page after a failed copy";
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ(kCheckDrives, fwtest::MessageBoxes()[0].text);
  EXPECT_EQ(UINT(MB_OK), fwtest::MessageBoxes()[0].type);
  EXPECT_EQ(1, AddonFlowState.LastCopyFailed);
  EXPECT_EQ(-1, AddonFlowState.AddonAborted);
  // The wire: "rw", the volume query, then "stop".
  const std::vector<SeenRequest> sets = net.Of(kSetRequest);
  ASSERT_EQ(2u, sets.size());
  EXPECT_EQ(10, sets[0].code);
  EXPECT_EQ(13, sets[1].code);
}

TEST_F(CodePageFlowTest, UnknownVolumeNameTakesTheFailureEndingWithoutWriting) {
  addon.shareName = "HDD_x";
  fwtest::PushModalAction(Choose(0));
  fwtest::PushModalAction(LetInstallRun);
  fwtest::PushModalAction(Cancel);
  RunLanguageFlow(nullptr);

  EXPECT_FALSE(fwtest::ModalActionsPending()) << "the language dialog is offered again";
  EXPECT_EQ(10u, Queries(kCodeShareName)) << "ten tries for the first volume name";
  EXPECT_TRUE(files.written.empty());
  EXPECT_TRUE(files.connects.empty());
  EXPECT_EQ(std::vector<std::string>{"stop"}, SetTexts(kCodeStopService));
  EXPECT_TRUE(SetTexts(kCodeSetCodePage).empty());
  EXPECT_EQ(std::string("\"") + kCheckDrives + "\" (Nexora Storage Utility, no icon)\n", RecordedMessages());
}

TEST_F(CodePageFlowTest, InstallWindowIgnoresEnterEscAndClose) {
  addon.shareName = "HDD_a";
  AddonFlowState.SelectedLanguageIndex = 3;  // no files: only the code page
  quick.period = 60000;  // no tick before the keys
  bool survived = false;
  fwtest::PushModalAction([&](CDialog& d) {
    for (WPARAM id : {WPARAM(IDOK), WPARAM(IDCANCEL)}) d.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    d.SendMessage(WM_CLOSE);
    fwtest::PumpMessages(50);
    survived = !static_cast<CInstallProgressDlg&>(d).ended() && ::IsWindowVisible(d.m_hWnd);
    d.SetTimer(kCodePageRunTimer, 1);
    LetInstallRun(d);
  });
  CInstallProgressDlg run;
  run.DoModal();
  EXPECT_TRUE(survived);
  EXPECT_EQ(std::vector<std::string>{"865"}, SetTexts(kCodeSetCodePage));
}

TEST_F(CodePageFlowTest, LanguageCommandNeedsASelectedDevice) {
  RunMain([&](CMainDlg& main) {
    main.deviceSelected = 0;
    main.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, BN_CLICKED), 0);
  });
  EXPECT_EQ("\"Please select a device.\" (Error, MB_ICONHAND)\n", RecordedMessages());
  EXPECT_TRUE(net.Of(kQueryRequest, kCodeDiskStatus).empty());
}

TEST_F(CodePageFlowTest, LanguageCommandRefreshesOnlyAfterARunToTheEnd) {
  for (bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "cancelled" : "installed");
    net.requests.clear();
    int selectedAfter = -1;
    RunMain([&](CMainDlg& main) {
      ClickDevice(main, 0);
      CopyTextField(CurrentDeviceAddress, kAddress);
      const size_t discoveries = net.Of(kDiscoverRequest).size();
      if (cancel) {
        fwtest::PushModalAction(Cancel);
      } else {
        fwtest::PushModalAction(Choose(2));
        fwtest::PushModalAction(LetInstallRun);
      }
      main.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, BN_CLICKED), 0);
      EXPECT_EQ(cancel ? discoveries : discoveries + 1, net.Of(kDiscoverRequest).size());
      selectedAfter = main.deviceSelected;
    });
    EXPECT_EQ(cancel ? 1 : 0, selectedAfter);
    EXPECT_EQ(0, AddonFlowState.BtInstallPending);
  }
}

// --- the payload writer ----------------------------------------------------------

TEST_F(AddonTest, WritePayloadFileSucceedsOnlyWhenTheWholeFileArrived) {
  const std::string dest = Folder("HDD_a\\.codepages", "codepage.866");
  struct Case {
    const char* name;
    std::function<void(FakeAddonFiles&)> setUp;
    const char* kind;
    int number;
    int result;
  };
  const std::vector<Case> cases = {
      {"written", [](FakeAddonFiles&) {}, "Codepage", 169, 1},
      {"kind in any case", [](FakeAddonFiles&) {}, "codepage", 169, 1},
      {"connect fails harmlessly", [](FakeAddonFiles& f) { f.connectFails = true; }, "Codepage", 169, 1},
      {"cannot open", [](FakeAddonFiles& f) { f.failOpen = "codepage"; }, "Codepage", 169, 0},
      {"old file that cannot be overwritten",
       [&](FakeAddonFiles& f) { f.files[dest] = Bytes{1, 2, 3}; f.failOpen = "codepage"; }, "Codepage", 169, 0},
      {"short write", [](FakeAddonFiles& f) { f.shortWrite = "codepage"; }, "Codepage", 169, 0},
      {"close fails", [](FakeAddonFiles& f) { f.failClose = "codepage"; }, "Codepage", 169, 0},
      {"gone afterwards", [](FakeAddonFiles& f) { f.vanish = "codepage"; }, "Codepage", 169, 0},
      {"number not in the catalogue", [](FakeAddonFiles&) {}, "Codepage", 180, 0},
      {"kind not in the catalogue", [](FakeAddonFiles&) {}, "FONT", 169, 0},
      {"BT number under CODEPAGE", [](FakeAddonFiles&) {}, "Codepage", 215, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    files = FakeAddonFiles();
    shell = FakeShellPlatform();
    c.setUp(files);
    AddonFlowState.LastCopyFailed = c.result;  // the opposite of what must follow
    EXPECT_EQ(c.result, WritePayloadFile(c.kind, c.number, dest.c_str(), ""));
    EXPECT_EQ(1 - c.result, AddonFlowState.LastCopyFailed);
    if (c.result == 1) {
      EXPECT_TRUE(files.files[dest] == CatalogueBytesOf("codepage.866"));
      EXPECT_EQ(std::vector<std::string>(files.connectFails ? 6 : 1, dest), files.connects);
    }
  }
}

TEST_F(AddonTest, WritePayloadFileThroughTheStagingFolder) {
  const std::string staged = "C:\\bt\\btdog";
  const std::string dest = Folder("HDD_1\\Nas_Prog/BT", "btdog");
  for (bool copyFails : {false, true}) {
    SCOPED_TRACE(copyFails ? "copy fails" : "copied");
    files = FakeAddonFiles();
    shell = FakeShellPlatform();
    files.files[dest] = Bytes{9, 9};  // an old copy on the device
    if (copyFails) files.failCopy = "Nas_Prog";
    EXPECT_EQ(copyFails ? 0 : 1, WritePayloadFile("BT", 220, staged.c_str(), dest.c_str()));
    EXPECT_EQ(copyFails ? 1 : 0, AddonFlowState.LastCopyFailed);
    EXPECT_EQ((std::vector<std::string>{dest, staged}), files.removed) << "old copy, then the staging file";
    EXPECT_EQ(0u, files.files.count(staged));
    if (!copyFails) {
      EXPECT_TRUE(files.files[dest] == CatalogueBytesOf("btdog"));
    }
  }
}

TEST_F(AddonTest, CatalogueIsReadInPlaceFromTheProgramImage) {
  const PayloadView v = LookupPayload("Codepage", 171);
  ASSERT_TRUE(v.found());
  EXPECT_EQ(588u, v.size);
  const PayloadView same = LookupPayload("CODEPAGE", 169);
  ASSERT_TRUE(same.found());
  EXPECT_EQ(0, std::memcmp(v.data, same.data, v.size)) << "171 holds the bytes of 169";
  // Inside the loaded image, not a copy on the heap.
  HMODULE module = ::GetModuleHandleA(nullptr);
  MEMORY_BASIC_INFORMATION info;
  ASSERT_NE(0u, ::VirtualQuery(v.data, &info, sizeof info));
  EXPECT_EQ(module, info.AllocationBase);
  EXPECT_EQ(6940408u, LookupPayload("bt", 215).size);
}

// The system's add-on files connect a share through the drive platform,
// Windows networking's one home: type any, no letter, no provider, empty
// credentials, no flags.
TEST_F(AddonTest, SystemConnectGoesThroughTheDrivePlatform) {
  drives.calls.clear();
  EXPECT_EQ(DWORD(kNetNoError), SystemAddonFiles().Connect("\\\\192.168.0.32\\HDD_1"));
  EXPECT_EQ(std::vector<std::string>{"add 0 NULL \\\\192.168.0.32\\HDD_1 NULL password=\"\" user=\"\" flags=0"},
            drives.calls);
}
