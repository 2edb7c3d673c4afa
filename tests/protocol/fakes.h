// Test doubles for the protocol library: a clock that only records, a
// socket layer that plays scripted datagrams and records what is sent, and
// a fixture that installs both and resets the process-wide state.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "clock.h"
#include "commands.h"
#include "discovery.h"
#include "socket_layer.h"
#include "transport.h"

using Bytes = std::vector<uint8_t>;

class FakeClock : public Clock {
public:
  void Pause(int ms) override {
    pauses.push_back(ms);
    now += ms + int64_t(ms) * pauseOverrunPercent / 100;
  }
  int64_t NowMs() override { return now; }
  std::vector<int> pauses;  // as asked
  int64_t now = 0;
  // Pauses last this many percent longer than asked, as a real sleep that
  // ends on the next timer tick.
  int pauseOverrunPercent = 0;
};

// One scripted event on a receive socket, taken by WaitReadable/Receive.
struct SocketEvent {
  enum Kind { kDatagram,
              kSilence,
              kReceiveError,
              kWaitError } kind = kDatagram;
  Bytes bytes;
  bool forever = false;  // stays at the front once reached
};

class FakeSocketLayer : public SocketLayer {
public:
  explicit FakeSocketLayer(FakeClock* clock) : m_clock(clock) {}

  bool Startup() override {
    ++startups;
    return startupResult;
  }
  void Cleanup() override { ++cleanups; }
  std::vector<std::string> HostAddresses() override { return hostAddresses; }
  SocketHandle OpenSendSocket() override;
  SocketHandle OpenReceiveSocket(const char* address, uint16_t port, const char* group) override;
  void SendTo(SocketHandle s, const char* interfaceAddress, const char* group, uint16_t port,
              const uint8_t* data, size_t length) override;
  int WaitReadable(SocketHandle s, int timeoutMs) override;
  int WaitAnyReadable(const SocketHandle* sockets, int count, int timeoutMs) override;
  int Receive(SocketHandle s, uint8_t* buffer, size_t capacity) override;
  void Close(SocketHandle s) override { closed.push_back(s); }

  // Script helpers for receive socket of interface i.
  void Queue(int i, const Bytes& datagram);
  void QueueForever(int i, SocketEvent::Kind kind, const Bytes& datagram = {});
  void QueueTimes(int i, int times, SocketEvent::Kind kind, const Bytes& datagram = {});
  void QueueSilence(int i, int polls = 1);
  size_t Pending(int i) const;
  // Called after each send, with the interface index it went through;
  // a test queues the device's answer here.
  std::function<void(int interfaceIndex, const Bytes& request)> onSend;

  struct Opened {
    SocketHandle handle;
    bool receive;
    std::string address;
    uint16_t port;
    std::string group;
  };
  struct Sent {
    SocketHandle socket;
    std::string interfaceAddress;
    std::string group;
    uint16_t port;
    Bytes bytes;
  };
  struct Wait {
    SocketHandle socket;
    int timeoutMs;
    size_t sentBefore;  // sends made before this wait
  };

  bool startupResult = true;
  int startups = 0;
  int cleanups = 0;
  std::vector<std::string> hostAddresses;
  std::vector<Opened> opened;
  std::vector<SocketHandle> closed;
  std::vector<Sent> sent;
  std::vector<Wait> waits;
  struct AnyWait {
    std::vector<SocketHandle> sockets;
    int timeoutMs;
    size_t sentBefore;
  };
  std::vector<AnyWait> anyWaits;
  int receives = 0;
  // Milliseconds that each Receive takes on the clock.
  int receiveCostMs = 0;

private:
  std::deque<SocketEvent>& QueueOf(SocketHandle s) { return m_queues[s]; }
  FakeClock* m_clock;
  SocketHandle m_next = 100;
  std::map<SocketHandle, std::deque<SocketEvent>> m_queues;
};

// Reply datagrams as a device sends them.
struct Device {
  uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  std::string ip = "192.168.0.32";
};

Bytes Header(uint8_t type, const std::string& ip, const uint8_t* clientId = nullptr,
             const uint8_t* mac = nullptr);
Bytes QueryReply(const std::string& ip, const std::string& text, const uint8_t* clientId = nullptr);
Bytes SetReply(const std::string& ip, const uint8_t* clientId = nullptr);

struct DiscoveryReplyFields {
  uint8_t type = kDiscoverReply;
  std::string ip = "192.168.0.32";
  std::string name = "nas";
  std::string netmask = "255.255.255.0";
  std::string gateway = "192.168.0.1";
  char dhcpFlag = '0';
  uint8_t deviceClass = 3;
  uint8_t deviceSubclass = 3;
  std::string model;
  const uint8_t* clientId = nullptr;  // nullptr: this instance's
  uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
};
Bytes DiscoveryReply(const DiscoveryReplyFields& reply);

// Text of a byte sequence for failure messages: "03 3a 7f ...".
std::string Hex(const Bytes& b);

extern const uint8_t kExampleClientId[10];  // 3A 7F 01 C2 55 E0 00 00 00 00

class ProtocolTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Opens the transport on these addresses and sets the example client id.
  void Open(const std::vector<std::string>& addresses);
  // Adds a device record on interface i and selects it.
  NasDevice* AddDevice(const Device& d, int interfaceIndex = 0, bool select = true);
  static std::vector<std::string>& Traces();

  FakeClock clock;
  FakeSocketLayer sockets{&clock};
};
