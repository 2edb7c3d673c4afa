// The socket layer and clock of the fuzz targets: one local interface whose
// receive socket plays a script of events cut from the fuzzer's bytes, and
// a clock that never waits.
#pragma once
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "clock.h"
#include "socket_layer.h"

namespace fuzz {

// The address of the device that the exchange targets talk to.
constexpr const char* kDeviceAddress = "192.168.0.32";
constexpr uint8_t kDeviceOctets[4] = {192, 168, 0, 32};

class NoWaitClock : public Clock {
public:
  void Pause(int ms) override { m_now += ms; }
  int64_t NowMs() override { return m_now; }
  unsigned TimerPeriod(unsigned) override { return 1; }

private:
  int64_t m_now = 0;
};

struct Event {
  enum Kind { kDatagram,
              kSilence,
              kReceiveError,
              kWaitError } kind = kDatagram;
  std::vector<uint8_t> bytes;
};

class ScriptedSockets : public SocketLayer {
public:
  bool Startup() override { return true; }
  void Cleanup() override {}
  std::vector<std::string> HostAddresses() override { return addresses; }
  SocketHandle OpenSendSocket() override { return m_next++; }
  SocketHandle OpenReceiveSocket(const char*, uint16_t, const char*) override { return m_next++; }
  // The script starts playing with the first request, so that the drain
  // before it does not eat the replies.
  void SendTo(SocketHandle, const char*, const char*, uint16_t, const uint8_t*, size_t) override {
    m_armed = true;
  }
  int WaitReadable(SocketHandle s, int timeoutMs) override;
  // One script feeds every socket: waiting on several is waiting on it.
  int WaitAnyReadable(const SocketHandle* sockets, int count, int timeoutMs) override {
    return count > 0 ? WaitReadable(sockets[0], timeoutMs) : 0;
  }
  int Receive(SocketHandle s, uint8_t* buffer, size_t capacity) override;
  void Close(SocketHandle) override {}

  std::vector<std::string> addresses{"10.0.0.1"};
  std::deque<Event> script;

private:
  SocketHandle m_next = 100;
  bool m_armed = false;
  NoWaitClock* m_clock = nullptr;
  friend void Install();
};

// Installs the clock and sockets, opens the transport once and fixes the
// client id. Safe to call on every input.
void Install();
ScriptedSockets& ActiveSocketLayer();

// Fills the script from the fuzzer's bytes: per event a kind byte and a
// datagram. With stampHeader set, each datagram's client id and device
// address are this program's and the device's, so that the bytes reach
// the parsers past the header checks.
void FillScript(FuzzedDataProvider& data, bool stampHeader);

// Replaces DeviceList with the one device at kDeviceAddress and selects it.
void SelectOneDevice();

}  // namespace fuzz
