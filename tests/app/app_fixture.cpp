#include "app_fixture.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "addon_state.h"
#include "commands.h"
#include "drive_table.h"
#include "utility_app.h"
#include "web_config.h"

// The program's application object, as the executable has it: message-box
// captions, the dialog colours and the start-up tests use it.
CUtilityApp theApp;

namespace {

std::string FormatOctets(const uint8_t* p) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", p[0], p[1], p[2], p[3]);
  return text;
}

}  // namespace

Bytes SeenRequest::Data() const {
  const size_t lengthAt = type == kSetRequest ? ProtocolPacket::kSettingsLength : ProtocolPacket::kQueryLength;
  const size_t dataAt = type == kSetRequest ? ProtocolPacket::kSettingsData : ProtocolPacket::kQueryData;
  if (bytes.size() < dataAt) return {};
  size_t n = GetLe32(bytes.data() + lengthAt);
  if (n > bytes.size() - dataAt) n = bytes.size() - dataAt;
  return Bytes(bytes.begin() + dataAt, bytes.begin() + dataAt + n);
}

std::string SeenRequest::Text(size_t offset, size_t width) const {
  std::string text;
  for (size_t i = offset; i < offset + width && i < bytes.size() && bytes[i] != 0; ++i)
    text += static_cast<char>(bytes[i]);
  return text;
}

void FakeNetwork::Attach(FakeSocketLayer& sockets) {
  sockets.onSend = [this, &sockets](int interfaceIndex, const Bytes& request) {
    Answer(sockets, interfaceIndex, request);
  };
}

SimDevice& FakeNetwork::Add(const SimDevice& device) {
  devices.push_back(device);
  return devices.back();
}

std::vector<SeenRequest> FakeNetwork::Of(uint8_t type, int code) const {
  std::vector<SeenRequest> found;
  for (const SeenRequest& r : requests)
    if (r.type == type && (code < 0 || r.code == code)) found.push_back(r);
  return found;
}

std::string FakeNetwork::Trace() const {
  std::ostringstream out;
  for (const SeenRequest& r : requests) out << (out.tellp() > 0 ? " " : "") << int(r.type) << "/" << int(r.code);
  return out.str();
}

void FakeNetwork::Answer(FakeSocketLayer& sockets, int interfaceIndex, const Bytes& request) {
  if (request.empty()) return;
  SeenRequest seen{request[0], 0, "", request};
  if (seen.type != kDiscoverRequest && request.size() >= ProtocolPacket::kHeaderLength) {
    seen.code = request[ProtocolPacket::kCommand];
    seen.target = FormatOctets(request.data() + ProtocolPacket::kDeviceAddress);
  }
  requests.push_back(seen);
  if (onRequest) onRequest(requests.back());

  if (seen.type == kDiscoverRequest) {
    for (const SimDevice& d : devices) {
      if (d.interfaceIndex != interfaceIndex) continue;
      DiscoveryReplyFields reply;
      reply.type = d.model.empty() ? kDiscoverReply : kDiscoverReplyModel;
      reply.ip = d.ip;
      reply.name = d.name;
      reply.netmask = d.netmask;
      reply.gateway = d.gateway;
      reply.dhcpFlag = d.dhcpFlag;
      reply.model = d.model;
      std::memcpy(reply.mac, d.mac, sizeof reply.mac);
      sockets.Queue(interfaceIndex, DiscoveryReply(reply));
    }
    return;
  }
  for (const SimDevice& d : devices) {
    if (d.ip != seen.target || d.interfaceIndex != interfaceIndex) continue;
    if (seen.type == kQueryRequest) {
      switch (seen.code) {
        case 20: sockets.Queue(interfaceIndex, QueryReply(d.ip, d.lanConfig)); break;
        case 3: sockets.Queue(interfaceIndex, QueryReply(d.ip, d.shares)); break;
        case 19: sockets.Queue(interfaceIndex, QueryReply(d.ip, d.ssl)); break;
        case 18:
          if (d.answersDomain) sockets.Queue(interfaceIndex, QueryReply(d.ip, d.domain));
          break;
        case 4: {
          // adminUser, 0x55 0xAA, adminPassword
          const Bytes data = seen.Data();
          const std::string text(data.begin(), data.end());
          const size_t mark = text.find("\x55\xAA");
          const bool accepted = mark != std::string::npos && text.substr(0, mark) == "admin" &&
                                text.substr(mark + 2) == d.password;
          sockets.Queue(interfaceIndex, QueryReply(d.ip, accepted ? "\x01" : ""));
          break;
        }
        default: break;
      }
    } else if (seen.type == kSetRequest && d.answersSet) {
      const std::string from = seen.code == kCodeDhcpClient && !d.dhcpAddress.empty() ? d.dhcpAddress : d.ip;
      sockets.Queue(interfaceIndex, SetReply(from));
    }
    return;
  }
}

BOOL FakeHostPlatform::QueryVersion(OSVERSIONINFOA* info) {
  versionSize = info->dwOSVersionInfoSize;
  if (!versionResult) return FALSE;
  info->dwPlatformId = platformId;
  info->dwMajorVersion = major;
  info->dwMinorVersion = minor;
  info->dwBuildNumber = build;
  return TRUE;
}

BOOL FakeHostPlatform::QueryUserName(char* buffer, DWORD* size) {
  if (*size < userName.size() + 1) return FALSE;
  std::memcpy(buffer, userName.c_str(), userName.size() + 1);
  *size = static_cast<DWORD>(userName.size() + 1);
  return TRUE;
}

UINT FakeShellPlatform::Exec(const char* commandLine, UINT show) {
  const UINT result = execs.size() < execResults.size() ? execResults[execs.size()] : 33;
  execs.emplace_back(commandLine, show);
  return result;
}

INT_PTR FakeShellPlatform::OpenDocument(HWND, const char* file) {
  opened.push_back(file);
  return openResult;
}

bool FakeShellPlatform::WriteTextFile(const char* path, const char* text) {
  if (!writeSucceeds) return false;
  files[path] = text;
  return true;
}

void ResetProgramState() {
  std::memset(&MappedDriveTable, 0, sizeof MappedDriveTable);
  std::memset(CurrentDeviceAddress, 0, sizeof CurrentDeviceAddress);
  lanPortIndex = 0;
  LoginForAdmin = 0;
  std::memset(&AddonFlowState, 0, sizeof AddonFlowState);
  DeviceReachability = 0;
}

void AppTest::SetUp() {
  ProtocolTest::SetUp();
  AfxInitCommonControls();
  Open({"192.168.0.5"});
  net.Attach(sockets);
  ResetProgramState();
  SetDrivePlatform(&drives);
  SetHostPlatform(&host);
  SetShellPlatform(&shell);
  theApp.m_nExitCode = 0;
}

void AppTest::TearDown() {
  SetShellPlatform(nullptr);
  SetHostPlatform(nullptr);
  SetDrivePlatform(nullptr);
  ResetProgramState();
  ProtocolTest::TearDown();
}

INT_PTR AppTest::RunMain(const std::function<void(CMainDlg&)>& body) {
  CMainDlg dlg;
  bool ran = false;
  fwtest::PushModalAction([&](CDialog& d) {
    ran = true;
    body(static_cast<CMainDlg&>(d));
    if (d.m_hWnd != nullptr && ::IsWindow(d.m_hWnd)) d.EndDialog(IDCANCEL);
  });
  const INT_PTR result = dlg.DoModal();
  EXPECT_TRUE(ran) << "the main window never came up (DoModal returned " << result << ")";
  EXPECT_FALSE(fwtest::ModalActionsPending()) << fwtest::ModalActionsLeft() << " modal actions left over";
  EXPECT_TRUE(fwtest::UnexpectedDialogs().empty())
      << "a dialog waited without an action: template " << fwtest::UnexpectedDialogs().front();
  fwtest::ClearModalActions();
  return result;
}

void AppTest::ClickDevice(CMainDlg& dlg, int row) {
  dlg.deviceListCtrl.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  NMITEMACTIVATE click;
  std::memset(&click, 0, sizeof click);
  click.hdr.hwndFrom = dlg.deviceListCtrl.m_hWnd;
  click.hdr.idFrom = 1000;
  click.hdr.code = NM_CLICK;
  click.iItem = row;
  dlg.SendMessage(WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&click));
}

void AppTest::ChooseComboItem(CMainDlg& dlg, CComboBox& combo, int item) {
  combo.SetCurSel(item);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(combo.GetDlgCtrlID(), CBN_SELCHANGE),
                  reinterpret_cast<LPARAM>(combo.m_hWnd));
}

void AppTest::SetAddressText(CIPAddressCtrl& control, const std::string& text) {
  unsigned f[4];
  if (text.empty()) {
    control.ClearAddress();
    return;
  }
  ASSERT_EQ(4, std::sscanf(text.c_str(), "%u.%u.%u.%u", &f[0], &f[1], &f[2], &f[3])) << text;
  control.SetAddress(BYTE(f[0]), BYTE(f[1]), BYTE(f[2]), BYTE(f[3]));
}

std::string AppTest::AddressText(const CIPAddressCtrl& control) {
  if (control.IsBlank()) return "";
  BYTE f[4];
  control.GetAddress(f[0], f[1], f[2], f[3]);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", f[0], f[1], f[2], f[3]);
  return text;
}

int AppTest::FocusedField(const CIPAddressCtrl& control) {
  HWND focus = ::GetFocus();
  if (focus == nullptr || ::GetParent(focus) != control.m_hWnd) return -1;
  RECT focused;
  ::GetWindowRect(focus, &focused);
  int rank = 0;
  for (HWND child = ::GetWindow(control.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    ::GetWindowRect(child, &r);
    if (r.left < focused.left) ++rank;
  }
  return rank;
}

void AppTest::SelectDevice(const SimDevice& device) {
  uint8_t identity[10];
  std::memcpy(identity, device.mac, 6);
  ASSERT_TRUE(ParseAddressText(device.ip.c_str(), identity + 6)) << device.ip;
  const char flag[2] = {device.dhcpFlag, 0};
  AppendDevice(device.name.c_str(), device.ip.c_str(), device.netmask.c_str(), device.gateway.c_str(),
               flag, identity, device.model.c_str(), device.interfaceIndex);
  std::snprintf(CommandBuffers.selectedIp, sizeof CommandBuffers.selectedIp, "%s", device.ip.c_str());
}

std::string AppTest::ItemText(const CListCtrl& list, int row, int column) {
  return list.GetItemText(row, column);
}

std::string AppTest::ComboText(const CComboBox& combo, int item) {
  std::string text;
  combo.GetLBText(item, text);
  return text;
}

std::string RecordedMessages() {
  std::ostringstream out;
  for (const fwtest::MessageBoxCall& call : fwtest::MessageBoxes()) {
    const char* icon = call.icon() == MB_ICONHAND          ? "MB_ICONHAND"
                       : call.icon() == MB_ICONEXCLAMATION ? "MB_ICONEXCLAMATION"
                       : call.icon() == MB_ICONINFORMATION ? "MB_ICONINFORMATION"
                                                           : "no icon";
    out << "\"" << call.text << "\" (" << call.caption << ", " << icon << ")\n";
  }
  return out.str();
}
