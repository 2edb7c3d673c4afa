// The BitTorrent flow on the main window: the login step, the readiness
// polls counted on the wire, the install through the staging folder, the
// restart wait and the refresh, and what each early stop leaves behind.
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "addon_state.h"
#include "app_fixture.h"
#include "bt_flow.h"
#include "clock.h"
#include "commands.h"
#include "addon_files_fake.h"
#include "install_run.h"
#include "payload_catalogue.h"
#include "resource.h"

namespace {

// The protocol's fake clock, safe for the restart wait's worker, with the
// window timers shortened: the install window's 2 s to 50 ms, the restart
// wait's 90 s to 3 s (enough for its 99 bar messages across threads).
class ShortTimers : public Clock {
public:
  explicit ShortTimers(FakeClock& inner) : m_inner(inner) {}
  void Pause(int ms) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_inner.Pause(ms);
  }
  int64_t NowMs() override {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_inner.NowMs();
  }
  unsigned TimerPeriod(unsigned ms) override {
    periods.push_back(ms);
    return ms >= 90000 ? 3000 : 50;
  }
  std::vector<unsigned> periods;

private:
  FakeClock& m_inner;
  std::mutex m_mutex;
};

// A device answer that never comes.
const std::string kSilent = "<silent>";

const std::string kDevice = "192.168.0.32";
std::string DevicePath(const std::string& folder, const std::string& name) {
  return "\\\\" + kDevice + "\\" + folder + "\\" + name;
}

Bytes Catalogue(int number) {
  const PayloadView p = LookupPayload("BT", number);
  return Bytes(p.data, p.data + p.size);
}

class BtFlowTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    SetAddonFiles(&files);
    SetClock(&timers);
    AddonFlowState = {};
    SimDevice d;
    d.ip = kDevice;
    d.model = "KX-7200";
    net.Add(d);
    // Disk status (11), first volume name (12) and BitTorrent firmware (15)
    // as scripted; the last answer of a script repeats.
    net.onRequest = [this](const SeenRequest& r) {
      if (r.type != kQueryRequest) return;
      const auto script = answers.find(r.code);
      if (script == answers.end() || script->second.empty()) return;
      size_t& used = answered[r.code];
      const std::string& text = script->second[std::min(used, script->second.size() - 1)];
      ++used;
      if (text != kSilent) sockets.Queue(0, QueryReply(r.target, text));
    };
  }
  void TearDown() override {
    SetClock(&clock);
    SetAddonFiles(nullptr);
    AppTest::TearDown();
  }

  // Starts the flow on the clicked device; before is run first (pushes the
  // login dialog's action, say). Returns whether the main window is still
  // open afterwards.
  bool RunFlow(const std::function<void(CMainDlg&)>& before = nullptr) {
    bool open = false;
    RunMain([&](CMainDlg& dlg) {
      ClickDevice(dlg, 0);
      net.requests.clear();
      clock.pauses.clear();
      fwtest::ClearMessageBoxes();
      if (before) before(dlg);
      dlg.OnBitTorrent();
      open = ::IsWindow(dlg.m_hWnd) && ::IsWindowVisible(dlg.m_hWnd);
      deviceSelectedAfter = dlg.deviceSelected;
    });
    return open;
  }

  size_t Queries(int code) const { return net.Of(kQueryRequest, code).size(); }
  // The readiness pauses (1 s and 2 s), apart from the protocol's own.
  std::vector<int> PollPauses() const {
    std::vector<int> p;
    for (int ms : clock.pauses)
      if (ms >= 1000 && ms != 900) p.push_back(ms);
    return p;
  }
  std::string SetData(int code) const {
    const auto sets = net.Of(kSetRequest, code);
    if (sets.empty()) return "<none>";
    const Bytes data = sets.back().Data();
    return std::string(data.begin(), std::find(data.begin(), data.end(), 0));
  }
  bool RestartWaitShown() const {
    return std::count(timers.periods.begin(), timers.periods.end(), 90000u) == 1;
  }

  FakeAddonFiles files;
  ShortTimers timers{clock};
  std::map<int, std::vector<std::string>> answers;
  std::map<int, size_t> answered;
  int deviceSelectedAfter = -1;
};

}  // namespace

TEST_F(BtFlowTest, DeviceNotReadyIsToldWhyAndTheFlowStops) {
  const std::string notSupported = "\"BitTorrent does not supported on this device now.\" (Nexora Storage Utility, no icon)\n";
  const struct {
    const char* name;
    std::vector<std::string> disk;
    std::vector<std::string> firmware;
    size_t diskQueries;
    size_t firmwareQueries;
    std::vector<int> pauses;
    std::string message;
    bool opensDevicePages;
  } cases[] = {
      {"firmware refuses at the first answer", {"3"}, {"2"}, 1, 1, {2000, 1000}, notSupported, false},
      {"firmware refuses later: polled on", {"3"}, {"0", "2"}, 1, 16, [] { std::vector<int> p = {2000, 1000}; p.insert(p.end(), 15, 2000); return p; }(), notSupported, false},
      {"firmware never answers", {"3"}, {kSilent}, 1, 16, [] { std::vector<int> p = {2000, 1000}; p.insert(p.end(), 15, 2000); return p; }(), notSupported, false},
      {"no hard drive", {"1"}, {"1"}, 1, 2, {2000, 1000, 2000},
       "\"No hard drives were detected.\nPlease verify that the hard drives are properly connected before "
       "continuing.\" (Nexora Storage Utility, no icon)\n",
       false},
      {"disk not formatted", {kSilent, "2"}, {"1"}, 2, 2, {2000, 2000, 1000, 2000}, "\"Please format hard drive.\" (Nexora Storage Utility, no icon)\n", true},
      {"unknown disk status", {"6"}, {"1"}, 15, 2, [] { std::vector<int> p(15, 2000); p.push_back(1000); p.push_back(2000); return p; }(), notSupported, false},
      {"disk status never answered", {kSilent}, {"1"}, 15, 2, [] { std::vector<int> p(15, 2000); p.push_back(1000); p.push_back(2000); return p; }(), notSupported, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    answers = {{kCodeDiskStatus, c.disk}, {kCodeBtFirmware, c.firmware}};
    answered.clear();
    files = FakeAddonFiles();
    shell = FakeShellPlatform();
    AddonFlowState = {};
    const bool open = RunFlow();

    EXPECT_TRUE(open) << "the main window stays open";
    EXPECT_EQ(c.diskQueries, Queries(kCodeDiskStatus));
    EXPECT_EQ(c.firmwareQueries, Queries(kCodeBtFirmware));
    EXPECT_EQ(c.pauses, PollPauses());
    EXPECT_EQ(c.message, RecordedMessages());
    EXPECT_EQ(-1, AddonFlowState.AddonAborted);
    EXPECT_EQ(0, AddonFlowState.BtInstallPending);
    EXPECT_EQ(0u, Queries(kCodeShareName)) << "no install run";
    EXPECT_TRUE(files.madeFolders.empty());
    EXPECT_TRUE(files.removedFolders.empty()) << "nothing staged, nothing removed";
    EXPECT_TRUE(net.Of(kDiscoverRequest).empty()) << "no refresh";
    EXPECT_EQ(1, deviceSelectedAfter);
    if (c.opensDevicePages) {
      const std::vector<std::pair<std::string, UINT>> explorer = {{"explorer http://" + kDevice, SW_HIDE}};
      EXPECT_EQ(explorer, shell.execs);
    } else {
      EXPECT_TRUE(shell.execs.empty());
    }
  }
}

TEST_F(BtFlowTest, ReadyDiskInstallsBothProgramsRegistersAndRefreshes) {
  const struct {
    const char* disk;
    const char* volume;
    const char* folder;
  } cases[] = {
      {"3", "HDD_1", "HDD_1\\Nas_Prog/BT"},
      {"4", "HDD_a", "HDD_a\\Nas_Prog/BT"},
      {"5", "hdd_1", "HDD_1\\Nas_Prog/BT"},  // the literal name, whatever the device's case
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("disk status ") + c.disk + ", volume " + c.volume);
    answers = {{kCodeDiskStatus, {c.disk}}, {kCodeShareName, {c.volume}}, {kCodeBtFirmware, {"1"}}};
    answered.clear();
    files = FakeAddonFiles();
    shell = FakeShellPlatform();
    // An old "bt" from an earlier install is replaced.
    files.files[DevicePath(c.folder, "bt")] = Bytes{'o', 'l', 'd'};
    AddonFlowState = {};
    AddonFlowState.AddonAborted = -1;  // an earlier flow was abandoned
    timers.periods.clear();
    const bool open = RunFlow();

    EXPECT_TRUE(open);
    EXPECT_STREQ("3", CommandBuffers.diskStatus) << "4 and 5 are taken as 3";
    EXPECT_EQ(1u, Queries(kCodeDiskStatus));
    EXPECT_EQ(2u, Queries(kCodeBtFirmware)) << "the first answer, then polls until 1";
    EXPECT_EQ("rw", SetData(kCodeMountMode));
    EXPECT_EQ("BT", SetData(kCodeRegisterAddon));
    EXPECT_EQ("<none>", SetData(kCodeStopService)) << "no stop command";
    EXPECT_TRUE(Catalogue(215) == files.files[DevicePath(c.folder, "bt")]) << "differs from the catalogue";
    EXPECT_TRUE(Catalogue(220) == files.files[DevicePath(c.folder, "btdog")]) << "differs from the catalogue";
    EXPECT_EQ(0u, files.files.count("C:\\bt\\bt") + files.files.count("C:\\bt\\btdog")) << "staging files deleted";
    const std::vector<std::pair<std::string, std::string>> copies = {
        {"C:\\bt\\bt", DevicePath(c.folder, "bt")}, {"C:\\bt\\btdog", DevicePath(c.folder, "btdog")}};
    EXPECT_EQ(copies, files.copies);
    EXPECT_EQ(std::vector<std::string>{"C:\\bt\\"}, files.madeFolders);
    EXPECT_EQ(std::vector<std::string>{"C:\\bt\\"}, files.removedFolders);
    EXPECT_TRUE(RestartWaitShown());
    EXPECT_EQ("", RecordedMessages());
    EXPECT_EQ(0, AddonFlowState.AddonAborted);
    EXPECT_EQ(0, AddonFlowState.BtInstalled);
    EXPECT_EQ(0, AddonFlowState.BtInstallPending);
    EXPECT_EQ(1u, net.Of(kDiscoverRequest).size()) << "refreshed";
    EXPECT_EQ(0, deviceSelectedAfter);
  }
}

TEST_F(BtFlowTest, PayloadThatDoesNotArriveEndsTheRunWithoutRestartWait) {
  answers = {{kCodeDiskStatus, {"3"}}, {kCodeShareName, {"HDD_1"}}, {kCodeBtFirmware, {"1"}}};
  files.failCopy = DevicePath("HDD_1\\Nas_Prog/BT", "btdog");
  RunFlow();

  EXPECT_EQ("stop", SetData(kCodeStopService));
  EXPECT_EQ("<none>", SetData(kCodeRegisterAddon)) << "not registered";
  EXPECT_TRUE(Catalogue(215) == files.files[DevicePath("HDD_1\\Nas_Prog/BT", "bt")]) << "the first program stays";
  EXPECT_EQ(0u, files.files.count(DevicePath("HDD_1\\Nas_Prog/BT", "btdog")));
  EXPECT_EQ(1, AddonFlowState.LastCopyFailed);
  EXPECT_FALSE(RestartWaitShown());
  EXPECT_EQ(0, AddonFlowState.BtInstalled);
  EXPECT_EQ("\"Please check hard drives.\" (Nexora Storage Utility, no icon)\n", RecordedMessages());
  // The flow was not abandoned: it refreshes and removes the staging folder.
  EXPECT_EQ(1u, net.Of(kDiscoverRequest).size());
  EXPECT_EQ(std::vector<std::string>{"C:\\bt\\"}, files.removedFolders);
}

TEST_F(BtFlowTest, LoginStep) {
  const struct {
    const char* name;
    const char* password;  // the device's
    const char* typed;  // nullptr: no login dialog expected
    size_t loginQueries;
    bool proceeds;
  } cases[] = {
      {"empty password: no dialog", "", nullptr, 1, true},
      {"right password typed", "secret", "secret", 2, true},
      {"wrong password typed", "secret", "guess", 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    net.devices[0].password = c.password;
    answers = {{kCodeDiskStatus, {"3"}}, {kCodeBtFirmware, {"2"}}};  // readiness ends quickly, refused
    answered.clear();
    AddonFlowState = {};
    LoginForAdmin = 0;  // the drive mapping asked for share credentials last
    bool adminMode = false;
    RunFlow([&](CMainDlg&) {
      if (c.typed == nullptr) return;
      fwtest::PushModalAction([&](CDialog& d) {
        EXPECT_EQ(UINT(IDD_LOGIN), d.GetTemplateID());
        std::string user;
        d.GetDlgItemText(IDC_LOGIN_USER, user);
        adminMode = user == "admin" && !::IsWindowEnabled(::GetDlgItem(d.m_hWnd, IDC_LOGIN_USER));
        d.SetDlgItemText(IDC_LOGIN_PASSWORD, c.typed);
        fwtest::ClickButton(d, IDOK);
      });
    });
    EXPECT_EQ(c.loginQueries, Queries(kCodeAdminLogin));
    if (c.typed != nullptr) {
      EXPECT_TRUE(adminMode) << "the login dialog asks for the administrator password";
    }
    EXPECT_EQ(c.proceeds ? 1u : 0u, Queries(kCodeDiskStatus));
    if (!c.proceeds) {
      EXPECT_EQ("\"Wrong administrator password input!\" (Error, MB_ICONHAND)\n", RecordedMessages());
    }
    EXPECT_EQ(0, AddonFlowState.BtInstallPending);
  }
}

TEST_F(BtFlowTest, FailedLoginLeavesTheNextInstallToTheCodePageBranch) {
  net.devices[0].password = "secret";
  RunFlow([&](CMainDlg&) {
    fwtest::PushModalAction([](CDialog& d) {
      d.SetDlgItemText(IDC_LOGIN_PASSWORD, "guess");
      fwtest::ClickButton(d, IDOK);
    });
  });
  ASSERT_EQ(0, AddonFlowState.BtInstallPending);

  // A code-page install of a row without files: only the code page is sent.
  answers = {{kCodeShareName, {"HDD_a"}}};
  AddonFlowState.SelectedLanguageIndex = 3;
  net.requests.clear();
  CInstallProgressDlg run;
  run.DoModal();
  EXPECT_EQ("865", SetData(kCodeSetCodePage));
  EXPECT_EQ("<none>", SetData(kCodeRegisterAddon));
  EXPECT_TRUE(files.madeFolders.empty()) << "nothing staged";
}

TEST_F(BtFlowTest, NoSelectedDeviceIsRefused) {
  RunMain([&](CMainDlg& dlg) {
    net.requests.clear();
    dlg.OnBitTorrent();
  });
  EXPECT_EQ("\"Please select a device.\" (Error, MB_ICONHAND)\n", RecordedMessages());
  EXPECT_TRUE(net.requests.empty());
  EXPECT_EQ(0, AddonFlowState.BtInstallPending);
}
