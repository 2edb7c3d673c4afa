// The web button: the reachability probe and its wait, the browser's
// command line from the registry with the "explorer" fallback, and the
// About box.
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "commands.h"
#include "resource.h"
#include "web_config.h"
#include "web_platform.h"

#include <wininet.h>

namespace {

constexpr char kBrowserKey[] = "Software\\Clients\\StartMenuInternet";

std::string CommandKey(const std::string& browser) {
  return std::string(kBrowserKey) + "\\" + browser + "\\shell\\open\\command";
}

// One answer of the connection check: its result, and whether it waits
// for Release() before giving it.
struct ProbeAnswer {
  BOOL reached = TRUE;
  bool held = false;
};

// The registry and WinINet as a test plays them (WinExec is the fixture's
// FakeShellPlatform). Keys are opened
// as numbered handles; every handle opened must be closed.
class FakeWebPlatform : public WebPlatform {
public:
  struct Value {
    DWORD type = REG_SZ;
    std::string bytes;  // stored as is (add the terminator yourself)
  };
  // "subkey" -> default value; keys with no entry do not exist.
  std::map<std::string, Value> registry;
  std::vector<ProbeAnswer> answers;  // one per check; reached when used up
  std::vector<std::string> checkedUrls;
  std::vector<DWORD> checkFlags;
  int openKeys = 0;
  std::vector<REGSAM> access;

  FakeWebPlatform() {
    for (HANDLE& h : m_release) h = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  ~FakeWebPlatform() override {
    for (HANDLE h : m_release) ::CloseHandle(h);
  }

  void SetString(const std::string& key, const std::string& text) { registry[key] = {REG_SZ, text + '\0'}; }
  // Lets every held check return, or only the check of the given index.
  void Release() {
    for (HANDLE h : m_release) ::SetEvent(h);
  }
  void Release(size_t check) { ::SetEvent(m_release[check]); }
  // Holds the checks again after a Release(): the events stay set until then.
  void Rehold() {
    for (HANDLE h : m_release) ::ResetEvent(h);
  }

  LONG OpenKey(HKEY hive, const char* subkey, REGSAM sam, HKEY* key) override {
    access.push_back(sam);
    if (hive != HKEY_LOCAL_MACHINE) return ERROR_FILE_NOT_FOUND;
    auto it = registry.find(subkey);
    if (it == registry.end()) return ERROR_FILE_NOT_FOUND;
    ++openKeys;
    *key = reinterpret_cast<HKEY>(&it->second);
    return ERROR_SUCCESS;
  }
  LONG QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) override {
    if (name != nullptr && name[0] != '\0') return ERROR_FILE_NOT_FOUND;
    const Value& value = *reinterpret_cast<const Value*>(key);
    const DWORD needed = static_cast<DWORD>(value.bytes.size());
    const DWORD capacity = *size;
    *size = needed;
    if (type != nullptr) *type = value.type;
    if (needed > capacity) return ERROR_MORE_DATA;
    std::memcpy(data, value.bytes.data(), needed);
    return ERROR_SUCCESS;
  }
  LONG CloseKey(HKEY) override {
    --openKeys;
    return ERROR_SUCCESS;
  }
  BOOL CheckConnection(const char* url, DWORD flags) override {
    ProbeAnswer answer;
    size_t index;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (checkedUrls.size() < answers.size()) answer = answers[checkedUrls.size()];
      index = checkedUrls.size();
      checkedUrls.push_back(url);
      checkFlags.push_back(flags);
    }
    if (answer.held) ::WaitForSingleObject(m_release[std::min(index, kHeldChecks - 1)], 10000);
    return answer.reached;
  }
  std::vector<std::string> Checked() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return checkedUrls;
  }

private:
  static constexpr size_t kHeldChecks = 4;
  HANDLE m_release[kHeldChecks];
  std::mutex m_mutex;
};

// The fake clock, except that a pause first lets a running probe finish
// (as the real second would), unless the test holds the probe.
class ProbeClock : public FakeClock {
public:
  std::function<void(int)> onPause;
  void Pause(int ms) override {
    FakeClock::Pause(ms);
    if (onPause) onPause(ms);
    if (!holding) WaitForProbeThreads(5000);
  }
  bool holding = false;
};

class WebConfigTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    SetClock(&probeClock);
    SetWebPlatform(&web);
  }
  void TearDown() override {
    web.Release();
    EXPECT_TRUE(WaitForProbeThreads(5000)) << "a probe thread never returned";
    SetWebPlatform(nullptr);
    SetClock(&clock);
    EXPECT_EQ(0, web.openKeys) << "registry keys left open";
    AppTest::TearDown();
  }
  // The main window with device (selected by a click when click), body
  // run with the window up.
  void WithDevice(const SimDevice& device, bool click, const std::function<void(CMainDlg&)>& body) {
    net.Add(device);
    RunMain([&](CMainDlg& dlg) {
      if (click) ClickDevice(dlg, 0);
      body(dlg);
    });
  }
  static void PressWeb(CMainDlg& dlg) { fwtest::ClickButton(dlg, IDC_WEB); }
  int Waits() const {
    int n = 0;
    for (int ms : probeClock.pauses) n += ms == 1000;
    return n;
  }

  ProbeClock probeClock;
  FakeWebPlatform web;
};

using Execs = std::vector<std::pair<std::string, UINT>>;

}  // namespace

TEST_F(WebConfigTest, BrowserCommandLineFromTheRegistry) {
  struct Case {
    const char* name;
    const char* ssl;
    const char* browser;  // default browser's key name; null: none registered
    const char* command;  // its open command; null: none
    std::vector<UINT> results;  // WinExec results in turn
    Execs expected;  // every WinExec call (all with SW_HIDE)
  };
  const std::string http = "http://192.168.0.32";
  const std::string https = "https://192.168.0.32";
  const Case cases[] = {
      {"IE key, SSL on", "1", "IEXPLORE.EXE", "C:\\ie\\iexplore.exe", {}, {{"explorer " + https, SW_HIDE}}},
      {"IE key, SSL off", "0", "IEXPLORE.EXE", nullptr, {}, {{"explorer " + http, SW_HIDE}}},
      {"SSL text with a 1 elsewhere", "01", "IE", nullptr, {}, {{"explorer " + https, SW_HIDE}}},
      {"lower-case ie is another browser", "0", "iexplorer", "C:\\x\\ie.exe", {}, {{"C:\\x\\ie.exe " + http, SW_HIDE}}},
      {"other browser", "0", "FIREFOX.EXE", "C:\\ff\\firefox.exe", {}, {{"C:\\ff\\firefox.exe " + http, SW_HIDE}}},
      {"other browser, SSL on", "1", "FIREFOX.EXE", "\"C:\\ff\\firefox.exe\" -url", {}, {{"\"C:\\ff\\firefox.exe\" -url " + https, SW_HIDE}}},
      {"browser file gone (2)", "0", "Gone", "C:\\gone.exe", {2}, {{"C:\\gone.exe " + http, SW_HIDE}, {"explorer " + http, SW_HIDE}}},
      {"browser path gone (3), SSL on", "1", "Gone", "C:\\no\\gone.exe", {3}, {{"C:\\no\\gone.exe " + https, SW_HIDE}, {"explorer " + https, SW_HIDE}}},
      {"bad format (11)", "0", "Bad", "C:\\bad.exe", {11}, {{"C:\\bad.exe " + http, SW_HIDE}, {"explorer " + http, SW_HIDE}}},
      {"out of memory (0) ends it", "0", "Low", "C:\\low.exe", {0}, {{"C:\\low.exe " + http, SW_HIDE}}},
      {"access denied (5) ends it", "0", "Denied", "C:\\denied.exe", {5}, {{"C:\\denied.exe " + http, SW_HIDE}}},
      {"explorer fails too: no message", "0", "Gone", "C:\\gone.exe", {2, 2}, {{"C:\\gone.exe " + http, SW_HIDE}, {"explorer " + http, SW_HIDE}}},
      {"no browser registered", "0", nullptr, nullptr, {2}, {{" " + http, SW_HIDE}, {"explorer " + http, SW_HIDE}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    web.registry.clear();
    shell.execs.clear();
    web.checkedUrls.clear();
    shell.execResults = c.results;
    if (c.browser != nullptr) web.SetString(kBrowserKey, c.browser);
    if (c.browser != nullptr && c.command != nullptr) web.SetString(CommandKey(c.browser), c.command);
    fwtest::ClearMessageBoxes();
    net.devices.clear();
    SimDevice device;
    device.ssl = c.ssl;
    WithDevice(device, true, [&](CMainDlg& dlg) {
      PressWeb(dlg);
      EXPECT_EQ(1, dlg.deviceSelected) << "a reachable device stays selected";
    });
    EXPECT_EQ(c.expected, shell.execs);
    const std::string url = std::string(c.ssl).find('1') != std::string::npos ? https : http;
    EXPECT_EQ(std::vector<std::string>{url}, web.Checked()) << "the probe checks the page that is opened";
    EXPECT_EQ(std::vector<DWORD>{FLAG_ICC_FORCE_CONNECTION}, web.checkFlags);
    web.checkFlags.clear();
    EXPECT_STREQ("192.168.0.32", CurrentDeviceAddress);
    EXPECT_EQ(0, int(DeviceReachability)) << "a successful wait resets the result";
    EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
  }
  for (REGSAM sam : web.access) EXPECT_EQ(REGSAM(KEY_QUERY_VALUE), sam);
}

// A device named and sharing in shell syntax: the command lines hold the
// registry's browser and the URL of the dotted address, nothing of the
// device's texts, also on the explorer fallback.
TEST_F(WebConfigTest, DeviceTextsNeverReachTheCommandLine) {
  SimDevice device;
  device.name = "\" & calc & \"";
  device.shares = "a\"b:%PATH%:x&y:\" & calc & \":100%&&";
  web.SetString(kBrowserKey, "FIREFOX.EXE");
  web.SetString(CommandKey("FIREFOX.EXE"), "C:\\ff\\firefox.exe");
  shell.execResults = {2};
  WithDevice(device, true, [&](CMainDlg& dlg) { PressWeb(dlg); });
  const Execs expected = {{"C:\\ff\\firefox.exe http://192.168.0.32", SW_HIDE}, {"explorer http://192.168.0.32", SW_HIDE}};
  EXPECT_EQ(expected, shell.execs);
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(WebConfigTest, UnreachableDeviceIsReportedAndTheListsRefreshed) {
  struct Case {
    const char* name;
    ProbeAnswer answer;
    int fewestWaits, mostWaits;  // one-second pauses before the message
  };
  const Case cases[] = {
      // The first look may come before the probe has written.
      {"probe reports -1 at once", {FALSE, false}, 0, 1},
      {"probe silent through two waits", {TRUE, true}, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    web.answers = {c.answer};
    web.checkedUrls.clear();
    web.Rehold();  // the case before released every check
    probeClock.holding = c.answer.held;
    probeClock.pauses.clear();
    fwtest::ClearMessageBoxes();
    net.devices.clear();
    drives.typeCalls.clear();
    web.SetString(kBrowserKey, "IE");
    WithDevice(SimDevice(), true, [&](CMainDlg& dlg) {
      // A letter mapped meanwhile must show after the refresh.
      drives.Map("Z:", "\\\\192.168.0.32\\HDD_1");
      net.requests.clear();
      PressWeb(dlg);
      EXPECT_EQ("1/0", net.Trace()) << "the device list is rediscovered";
      EXPECT_EQ(0, dlg.deviceSelected);
      EXPECT_EQ(1, dlg.deviceListCtrl.GetItemCount());
      EXPECT_EQ(0, dlg.shareListCtrl.GetItemCount()) << "the panel is emptied";
      ASSERT_GT(dlg.driveCombo.GetCount(), 0);
      EXPECT_EQ("Z: \\\\192.168.0.32\\HDD_1", ComboText(dlg.driveCombo, 0)) << "drive table rescanned";
    });
    drives.Unmap("Z:");
    web.Release();
    ASSERT_TRUE(WaitForProbeThreads(5000));
    EXPECT_LE(c.fewestWaits, Waits());
    EXPECT_GE(c.mostWaits, Waits());
    EXPECT_TRUE(shell.execs.empty()) << "nothing is launched";
    ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
    EXPECT_EQ("Device is no longer available.", fwtest::MessageBoxes()[0].text);
    EXPECT_EQ("Warning", fwtest::MessageBoxes()[0].caption);
    EXPECT_EQ(UINT(MB_ICONEXCLAMATION), fwtest::MessageBoxes()[0].icon());
  }
}

TEST_F(WebConfigTest, EachPressActsOnItsOwnProbe) {
  // First press: the device does not answer (-1). Second press: it does.
  // The second press must not read the first press's -1.
  web.answers = {{FALSE, false}, {TRUE, false}};
  web.SetString(kBrowserKey, "IE");
  WithDevice(SimDevice(), true, [&](CMainDlg& dlg) {
    PressWeb(dlg);
    ClickDevice(dlg, 0);
    fwtest::ClearMessageBoxes();
    PressWeb(dlg);
  });
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
  EXPECT_EQ((Execs{{"explorer http://192.168.0.32", SW_HIDE}}), shell.execs);
}

TEST_F(WebConfigTest, LateProbeOfAnEarlierPressDoesNotAnswerForTheNextOne) {
  // First press: its probe hangs and the wait gives up. Second press: its
  // own probe hangs too; the first probe then finds the device, which must
  // not count for the second press.
  web.answers = {{TRUE, true}, {TRUE, true}};
  web.SetString(kBrowserKey, "IE");
  probeClock.holding = true;
  WithDevice(SimDevice(), true, [&](CMainDlg& dlg) {
    PressWeb(dlg);
    ClickDevice(dlg, 0);
    fwtest::ClearMessageBoxes();
    probeClock.pauses.clear();
    probeClock.onPause = [&](int ms) {
      if (ms != 1000 || Waits() != 1) return;
      web.Release(0);  // the first probe finds the device; the second still hangs
      EXPECT_TRUE(WaitForProbeThreads(5000, 1));
    };
    PressWeb(dlg);
    probeClock.onPause = nullptr;
  });
  EXPECT_TRUE(shell.execs.empty()) << "launched on the earlier press's result";
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ("Device is no longer available.", fwtest::MessageBoxes()[0].text);
}

TEST_F(WebConfigTest, NoSelectionAsksForADeviceAndProbesNothing) {
  WithDevice(SimDevice(), false, [&](CMainDlg& dlg) { PressWeb(dlg); });
  EXPECT_TRUE(web.Checked().empty());
  EXPECT_TRUE(shell.execs.empty());
  ASSERT_EQ(1u, fwtest::MessageBoxes().size()) << RecordedMessages();
  EXPECT_EQ("Please select a device to configure.", fwtest::MessageBoxes()[0].text);
  EXPECT_EQ("Warning", fwtest::MessageBoxes()[0].caption);
  EXPECT_EQ(UINT(MB_ICONEXCLAMATION), fwtest::MessageBoxes()[0].icon());
}

TEST_F(WebConfigTest, ReadRegistryStringGivesTheTextOrNothing) {
  struct Case {
    const char* name;
    bool present;
    DWORD type;
    std::string bytes;
    std::string expected;
  };
  const std::string longest(119, 'a');
  const Case cases[] = {
      {"plain text", true, REG_SZ, std::string("FIREFOX.EXE\0", 12), "FIREFOX.EXE"},
      {"expandable text", true, REG_EXPAND_SZ, std::string("%ProgramFiles%\\b.exe\0", 21), "%ProgramFiles%\\b.exe"},
      {"stored without terminator", true, REG_SZ, "Opera", "Opera"},
      {"119 characters fit", true, REG_SZ, longest + '\0', longest},
      {"120 characters without terminator do not", true, REG_SZ, longest + 'a', ""},
      {"121 bytes do not", true, REG_SZ, longest + "a" + '\0', ""},
      {"a number is no text", true, REG_DWORD, std::string("\x01\x00\x00\x00", 4), ""},
      {"missing key", false, REG_SZ, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    web.registry.clear();
    if (c.present) web.registry["Software\\Test"] = {c.type, c.bytes};
    EXPECT_EQ(c.expected, ReadRegistryString(HKEY_LOCAL_MACHINE, "Software\\Test", nullptr));
    EXPECT_EQ(0, web.openKeys);
  }
  web.SetString("Software\\Test", "x");
  EXPECT_EQ("", ReadRegistryString(HKEY_LOCAL_MACHINE, "Software\\Test", "Missing")) << "missing value";
  EXPECT_EQ(0, web.openKeys);
}

TEST_F(WebConfigTest, AboutOpensFromItsButtonAndCloses) {
  struct Case {
    const char* name;
    std::function<void(CDialog&)> close;
  };
  const Case cases[] = {
      {"OK", [](CDialog& about) { fwtest::ClickButton(about, IDOK); }},
      {"Esc", [](CDialog& about) { about.SendMessage(WM_COMMAND, IDCANCEL, 0); }},
      {"close command", [](CDialog& about) { about.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UINT shown = 0;
    bool closed = false;
    RunMain([&](CMainDlg& dlg) {
      fwtest::PushModalAction([&](CDialog& about) {
        shown = about.GetTemplateID();
        EXPECT_NE(nullptr, static_cast<CSkinDialog&>(about).SkinButton(IDOK));
        char text[64] = {};
        ::GetWindowTextA(about.m_hWnd, text, sizeof text);
        EXPECT_STREQ("", text);
        c.close(about);
      });
      fwtest::ClickButton(dlg, IDC_ABOUT);
      closed = true;
      EXPECT_TRUE(::IsWindow(dlg.m_hWnd)) << "the main window stays";
    });
    EXPECT_EQ(UINT(IDD_ABOUT), shown);
    EXPECT_TRUE(closed);
  }
  EXPECT_TRUE(fwtest::MessageBoxes().empty()) << RecordedMessages();
}
