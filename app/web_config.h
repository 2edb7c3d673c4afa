// The web launcher: the device's own pages in the default browser, after a
// short check that the device still answers.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Result of the reachability probe: 0 not yet known, 1 reachable, -1 not
// reachable. The user-interface thread reads and resets it; the probe
// thread writes it once. Each press of the web button begins a new probe,
// and only the probe of the latest press may write, so a probe that ends
// late can never answer for a later press.
class ReachabilityState {
public:
  operator int() const { return Value(m_state.load()); }
  // Sets the result of the current press (the user-interface thread).
  ReachabilityState& operator=(int value);
  // A new press: the result goes back to 0. Returns the press's number.
  uint32_t BeginProbe();
  // The probe of press `probe` reports; ignored when a later press began
  // or a result is already there.
  void Report(uint32_t probe, int value);

private:
  // Press number in the upper 24 bits, result + 1 in the lower 8.
  static int Value(uint32_t state) { return static_cast<int>(state & 0xFFu) - 1; }
  static uint32_t Pack(uint32_t probe, int value) { return (probe << 8) | static_cast<uint32_t>(value + 1); }
  std::atomic<uint32_t> m_state{Pack(0, 0)};
};
extern ReachabilityState DeviceReachability;

// The page a device is opened at: "https://" + address when its SSL text
// contains '1', else (also for a null text) "http://" + address.
std::string DeviceWebUrl(const char* address, const char* sslMode);
// The command line that opens url through explorer: "explorer " + url.
std::string ExplorerCommand(const std::string& url);
// The command line that opens url with a browser's registered open command:
// program + " " + url.
std::string BrowserCommand(const std::string& program, const std::string& url);
// Starts ExplorerCommand(url), hidden; the WinExec result.
UINT OpenWithExplorer(const std::string& url);

// Worker-thread routine: param is a request made by StartReachabilityProbe
// (owned and freed here). Checks the URL with InternetCheckConnectionA and
// FLAG_ICC_FORCE_CONNECTION and reports 1 or -1. Returns 0.
UINT __cdecl ProbeDeviceReachability(LPVOID param);
// Resets DeviceReachability and starts the probe of url on a thread that
// nobody waits for; false when the thread could not be made (the result
// is then -1).
bool StartReachabilityProbe(const char* url);
// Waits at most ms milliseconds until no more than `left` probe threads
// have still to return from the platform; true when that came. Tests call
// it before they take their platform away.
bool WaitForProbeThreads(DWORD ms, int left = 0);

// The named value (null: the default value) of hive\subkey, read with
// KEY_QUERY_VALUE into a kRegistryText-byte buffer. Empty when the key or value is
// missing, is not a string, or does not fit.
constexpr size_t kRegistryText = 120;
std::string ReadRegistryString(HKEY hive, const char* subkey, const char* valueName);
