// What the web launcher uses (the main window's Web button is in
// app/window/web_button.cpp) and the add-ons too: the reachability probe,
// the pages' URLs and command lines, and reading the registry.

#include "web_config.h"

#include <wininet.h>

#include <cstring>
#include <memory>

#include "app_state.h"
#include "commands.h"
#include "framework.h"  // AfxBeginThread
#include "shell_platform.h"
#include "web_platform.h"

ReachabilityState DeviceReachability;

namespace {

// What one probe thread needs; it owns its copy, so a thread that outlives
// the press (or the window) touches nothing of anyone else.
struct ProbeRequest {
  uint32_t probe;
  char url[32];
};

// Probe threads between their start and their return from the platform.
std::atomic<int> runningProbes{0};

bool IsSslOn(const char* sslMode) {
  return sslMode != nullptr && std::memchr(sslMode, '1', strnlen(sslMode, sizeof CommandBuffers.sslMode)) != nullptr;
}

}  // namespace

ReachabilityState& ReachabilityState::operator=(int value) {
  uint32_t current = m_state.load();
  while (!m_state.compare_exchange_weak(current, Pack(current >> 8, value))) {
  }
  return *this;
}

uint32_t ReachabilityState::BeginProbe() {
  uint32_t current = m_state.load();
  uint32_t probe;
  do {
    probe = ((current >> 8) + 1) & 0xFFFFFFu;
  } while (!m_state.compare_exchange_weak(current, Pack(probe, 0)));
  return probe;
}

void ReachabilityState::Report(uint32_t probe, int value) {
  uint32_t expected = Pack(probe, 0);
  m_state.compare_exchange_strong(expected, Pack(probe, value));
}

std::string DeviceWebUrl(const char* address, const char* sslMode) {
  return std::string(IsSslOn(sslMode) ? "https://" : "http://") + (address != nullptr ? address : "");
}

std::string ExplorerCommand(const std::string& url) { return "explorer " + url; }

std::string BrowserCommand(const std::string& program, const std::string& url) { return program + " " + url; }

UINT OpenWithExplorer(const std::string& url) {
  return ActiveShellPlatform().Exec(ExplorerCommand(url).c_str(), SW_HIDE);
}

UINT __cdecl ProbeDeviceReachability(LPVOID param) {
  std::unique_ptr<ProbeRequest> request(static_cast<ProbeRequest*>(param));
  const BOOL reached = ActiveWebPlatform().CheckConnection(request->url, FLAG_ICC_FORCE_CONNECTION);
  DeviceReachability.Report(request->probe, reached ? 1 : -1);
  runningProbes.fetch_sub(1);
  return 0;
}

bool StartReachabilityProbe(const char* url) {
  auto* request = new ProbeRequest{DeviceReachability.BeginProbe(), {}};
  CopyTextField(request->url, url);
  runningProbes.fetch_add(1);
  // The thread object only closes its handle: nobody waits for the probe,
  // so a probe still connecting when the program ends holds nothing open.
  std::unique_ptr<CWinThread> thread(AfxBeginThread(&ProbeDeviceReachability, request));
  if (thread == nullptr) {
    runningProbes.fetch_sub(1);
    DeviceReachability.Report(request->probe, -1);
    delete request;
    return false;
  }
  return true;
}

bool WaitForProbeThreads(DWORD ms, int left) {
  const DWORD start = ::GetTickCount();
  while (runningProbes.load() > left) {
    if (::GetTickCount() - start >= ms) return false;
    ::Sleep(1);
  }
  return true;
}

std::string ReadRegistryString(HKEY hive, const char* subkey, const char* valueName) {
  WebPlatform& platform = ActiveWebPlatform();
  HKEY key = nullptr;
  if (platform.OpenKey(hive, subkey, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::string();
  char text[kRegistryText] = {};
  DWORD type = 0;
  DWORD size = sizeof text;
  const LONG read = platform.QueryValue(key, valueName, &type, reinterpret_cast<BYTE*>(text), &size);
  platform.CloseKey(key);
  if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size > sizeof text) return std::string();
  // A value that fills the buffer without its terminator did not fit.
  if (size == sizeof text && text[sizeof text - 1] != '\0') return std::string();
  return std::string(text, strnlen(text, size));
}
