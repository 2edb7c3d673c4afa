// Test support of the main program: scripted devices behind the fake socket
// layer, a fake host platform, and a fixture that runs the main window.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app_state.h"
#include "fake_drive_platform.h"
#include "fakes.h"
#include "framework.h"
#include "host_platform.h"
#include "main_dlg.h"
#include "shell_platform.h"
#include "testing.h"

// One storage device as the fake network plays it.
struct SimDevice {
  std::string name = "nas1";
  std::string ip = "192.168.0.32";
  std::string netmask = "255.255.255.0";
  std::string gateway = "192.168.0.1";
  char dhcpFlag = '0';
  std::string model;  // reported when set (discovery reply type 8)
  std::string lanConfig;  // QueryLanConfig reply text; empty: one port
  std::string shares;  // QueryShareList reply text
  std::string ssl = "0";
  std::string domain;  // QueryDomain reply text
  bool answersDomain = true;  // false: QueryDomain goes unanswered
  std::string password;  // administrator password
  bool answersSet = true;  // answers set requests
  std::string dhcpAddress;  // address reported after SetDhcpClient; empty: ip
  uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  int interfaceIndex = 0;
};

// A request the program sent, as the devices saw it.
struct SeenRequest {
  uint8_t type;
  uint8_t code;  // byte 21; 0 for discovery
  std::string target;  // the device address of bytes 17..20
  Bytes bytes;
  // Data of a query (offset 28) or set request (offset 60), by its length field.
  Bytes Data() const;
  std::string Text(size_t offset, size_t width) const;  // a text field
};

class FakeNetwork {
public:
  std::vector<SimDevice> devices;
  std::vector<SeenRequest> requests;
  // Called when a request arrives, before the devices answer.
  std::function<void(const SeenRequest&)> onRequest;

  void Attach(FakeSocketLayer& sockets);
  SimDevice& Add(const SimDevice& device);
  std::vector<SeenRequest> Of(uint8_t type, int code = -1) const;
  // "t/c" of every request in order, e.g. "1/0 3/20 3/3 3/19".
  std::string Trace() const;

private:
  void Answer(FakeSocketLayer& sockets, int interfaceIndex, const Bytes& request);
};

class FakeHostPlatform : public HostPlatform {
public:
  bool versionResult = true;
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  DWORD major = 5, minor = 1, build = 2600;
  DWORD versionSize = 0;  // dwOSVersionInfoSize the program passed
  std::string userName = "alice";

  BOOL QueryVersion(OSVERSIONINFOA* info) override;
  BOOL QueryUserName(char* buffer, DWORD* size) override;
  void Play98() {
    platformId = VER_PLATFORM_WIN32_WINDOWS;
    major = 4;
    minor = 10;
    build = 1998;
  }
  void PlayMe() {
    platformId = VER_PLATFORM_WIN32_WINDOWS;
    major = 4;
    minor = 90;
    build = 3000;
  }
  void PlayXp() {
    platformId = VER_PLATFORM_WIN32_NT;
    major = 5;
    minor = 1;
    build = 2600;
  }
  void PlayNt4() {
    platformId = VER_PLATFORM_WIN32_NT;
    major = 4;
    minor = 0;
    build = 1381;
  }
  void PlayVista() {
    platformId = VER_PLATFORM_WIN32_NT;
    major = 6;
    minor = 0;
    build = 6002;
  }
};

// Programs started, documents opened and text files written, in memory.
class FakeShellPlatform : public ShellPlatform {
public:
  std::vector<UINT> execResults;  // one per Exec; 33 when used up
  std::vector<std::pair<std::string, UINT>> execs;  // command line, show flag
  INT_PTR openResult = 42;
  std::vector<std::string> opened;
  bool writeSucceeds = true;
  std::map<std::string, std::string> files;

  UINT Exec(const char* commandLine, UINT show) override;
  INT_PTR OpenDocument(HWND owner, const char* file) override;
  bool WriteTextFile(const char* path, const char* text) override;
};

// The program's process-wide state (the drive table, the current device's
// address, the port index, the login mode, the add-on flags and the
// reachability result) as the program starts; ProtocolTest resets the
// protocol's. AppTest calls it before and after each test.
void ResetProgramState();

class AppTest : public ProtocolTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the main window modally; body runs once the window is up, then the
  // window is ended (unless body closed it). Returns DoModal's result.
  INT_PTR RunMain(const std::function<void(CMainDlg&)>& body);
  // Selects row in the device list and sends the list's NM_CLICK.
  static void ClickDevice(CMainDlg& dlg, int row);
  // Selects item of a combo and sends its CBN_SELCHANGE to the window.
  static void ChooseComboItem(CMainDlg& dlg, CComboBox& combo, int item);
  // Puts "a.b.c.d" into an address control; "" blanks it.
  static void SetAddressText(CIPAddressCtrl& control, const std::string& text);
  static std::string AddressText(const CIPAddressCtrl& control);  // "" when blank
  // Index (0..3) of the field of control that has the focus, -1 when none.
  static int FocusedField(const CIPAddressCtrl& control);
  // Makes device the selected one in DeviceList without the window.
  void SelectDevice(const SimDevice& device);

  static std::string ItemText(const CListCtrl& list, int row, int column);
  static std::string ComboText(const CComboBox& combo, int item);

  fwtest::ScopedSeams seams;
  FakeNetwork net;
  FakeDrivePlatform drives;
  FakeHostPlatform host;
  FakeShellPlatform shell;
};

// "Text" (Caption, icon) of the recorded message boxes, one a line.
std::string RecordedMessages();
