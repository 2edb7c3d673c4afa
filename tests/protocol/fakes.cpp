#include "fakes.h"

#include <cstdio>
#include <cstring>

const uint8_t kExampleClientId[10] = {0x3A, 0x7F, 0x01, 0xC2, 0x55, 0xE0, 0, 0, 0, 0};

SocketHandle FakeSocketLayer::OpenSendSocket() {
  opened.push_back({m_next, false, "", 0, ""});
  return m_next++;
}

SocketHandle FakeSocketLayer::OpenReceiveSocket(const char* address, uint16_t port,
                                                const char* group) {
  opened.push_back({m_next, true, address, port, group});
  return m_next++;
}

void FakeSocketLayer::SendTo(SocketHandle s, const char* interfaceAddress, const char* group,
                             uint16_t port, const uint8_t* data, size_t length) {
  sent.push_back({s, interfaceAddress, group, port, Bytes(data, data + length)});
  if (!onSend) return;
  for (int i = 0; i < LocalInterfaceTable.count; ++i)
    if (LocalInterfaceTable.sendSocket[i] == s) onSend(i, sent.back().bytes);
}

int FakeSocketLayer::WaitReadable(SocketHandle s, int timeoutMs) {
  waits.push_back({s, timeoutMs, sent.size()});
  std::deque<SocketEvent>& q = QueueOf(s);
  if (q.empty()) {
    m_clock->now += timeoutMs;
    return 0;
  }
  SocketEvent& e = q.front();
  switch (e.kind) {
    case SocketEvent::kSilence:
      if (!e.forever) q.pop_front();
      m_clock->now += timeoutMs;
      return 0;
    case SocketEvent::kWaitError:
      if (!e.forever) q.pop_front();
      return -1;
    default:
      return 1;
  }
}

// Readable when a datagram or a failing receive is at the front of any
// queue; otherwise one silence is taken from each queue that has one.
int FakeSocketLayer::WaitAnyReadable(const SocketHandle* sockets, int count, int timeoutMs) {
  anyWaits.push_back({std::vector<SocketHandle>(sockets, sockets + count), timeoutMs, sent.size()});
  bool readable = false;
  for (int i = 0; i < count; ++i) {
    std::deque<SocketEvent>& q = QueueOf(sockets[i]);
    if (q.empty()) continue;
    if (q.front().kind == SocketEvent::kWaitError) {
      if (!q.front().forever) q.pop_front();
      return -1;
    }
    if (q.front().kind != SocketEvent::kSilence) readable = true;
  }
  if (readable) return 1;
  for (int i = 0; i < count; ++i) {
    std::deque<SocketEvent>& q = QueueOf(sockets[i]);
    if (!q.empty() && q.front().kind == SocketEvent::kSilence && !q.front().forever) q.pop_front();
  }
  m_clock->now += timeoutMs;
  return 0;
}

int FakeSocketLayer::Receive(SocketHandle s, uint8_t* buffer, size_t capacity) {
  ++receives;
  m_clock->now += receiveCostMs;
  std::deque<SocketEvent>& q = QueueOf(s);
  if (q.empty()) return -1;
  SocketEvent e = q.front();
  if (!e.forever) q.pop_front();
  if (e.kind != SocketEvent::kDatagram || e.bytes.size() > capacity) return -1;
  if (!e.bytes.empty()) std::memcpy(buffer, e.bytes.data(), e.bytes.size());
  return int(e.bytes.size());
}

void FakeSocketLayer::Queue(int i, const Bytes& datagram) {
  QueueOf(LocalInterfaceTable.receiveSocket[i]).push_back({SocketEvent::kDatagram, datagram, false});
}

void FakeSocketLayer::QueueForever(int i, SocketEvent::Kind kind, const Bytes& datagram) {
  QueueOf(LocalInterfaceTable.receiveSocket[i]).push_back({kind, datagram, true});
}

void FakeSocketLayer::QueueTimes(int i, int times, SocketEvent::Kind kind, const Bytes& datagram) {
  for (int k = 0; k < times; ++k) QueueOf(LocalInterfaceTable.receiveSocket[i]).push_back({kind, datagram, false});
}

void FakeSocketLayer::QueueSilence(int i, int polls) {
  for (int k = 0; k < polls; ++k)
    QueueOf(LocalInterfaceTable.receiveSocket[i]).push_back({SocketEvent::kSilence, {}, false});
}

size_t FakeSocketLayer::Pending(int i) const {
  auto it = m_queues.find(LocalInterfaceTable.receiveSocket[i]);
  return it == m_queues.end() ? 0 : it->second.size();
}

namespace {
void PutOctets(Bytes& b, size_t at, const std::string& ip) {
  unsigned a = 0, c = 0, d = 0, e = 0;
  if (std::sscanf(ip.c_str(), "%u.%u.%u.%u", &a, &c, &d, &e) != 4) ADD_FAILURE() << "bad address " << ip;
  b[at] = uint8_t(a);
  b[at + 1] = uint8_t(c);
  b[at + 2] = uint8_t(d);
  b[at + 3] = uint8_t(e);
}
void PutText(Bytes& b, size_t at, const std::string& text) {
  if (b.size() < at + text.size()) b.resize(at + text.size());
  std::memcpy(b.data() + at, text.data(), text.size());
}
}  // namespace

Bytes Header(uint8_t type, const std::string& ip, const uint8_t* clientId, const uint8_t* mac) {
  static const uint8_t kMac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  Bytes b(ProtocolPacket::kHeaderLength, 0);
  b[0] = type;
  std::memcpy(b.data() + 1, clientId ? clientId : ClientId, 6);
  std::memcpy(b.data() + 11, mac ? mac : kMac, 6);
  PutOctets(b, 17, ip);
  return b;
}

Bytes QueryReply(const std::string& ip, const std::string& text, const uint8_t* clientId) {
  Bytes b = Header(kQueryReply, ip, clientId);
  b.resize(28, 0);
  PutLe32(b.data() + 24, uint32_t(text.size()));
  PutText(b, 28, text);
  b.push_back(0);
  return b;
}

Bytes SetReply(const std::string& ip, const uint8_t* clientId) {
  return Header(kSetReply, ip, clientId);
}

Bytes DiscoveryReply(const DiscoveryReplyFields& s) {
  Bytes b = Header(s.type, s.ip, s.clientId, s.mac);
  b[21] = uint8_t(s.dhcpFlag);
  b.resize(60, 0);
  PutText(b, 24, s.netmask.substr(0, 16));
  PutText(b, 40, s.gateway.substr(0, 16));
  size_t lengthAt = 56, dataAt = 60;
  if (s.type == kDiscoverReplyClassed || s.type == kDiscoverReplyModel) {
    b.resize(72, 0);
    b[56] = s.deviceClass;
    b[57] = s.deviceSubclass;
    lengthAt = 68;
    dataAt = 72;
  }
  if (s.type == kDiscoverReplyModel) {
    b.resize(104, 0);
    PutText(b, 68, s.model.substr(0, 32));
    lengthAt = 100;
    dataAt = 104;
  }
  b.resize(dataAt, 0);
  PutLe32(b.data() + lengthAt, uint32_t(s.name.size()));
  PutText(b, dataAt, s.name);
  return b;
}

std::string Hex(const Bytes& b) {
  std::string out;
  char part[4];
  for (uint8_t v : b) {
    std::snprintf(part, sizeof part, "%02x ", v);
    out += part;
  }
  return out;
}

std::vector<std::string>& ProtocolTest::Traces() {
  static std::vector<std::string> lines;
  return lines;
}

void ProtocolTest::SetUp() {
  SetClock(&clock);
  SetSocketLayer(&sockets);
  Traces().clear();
  SetTraceSink([](const char* line) { Traces().push_back(line); });
  CloseTransport();
  ClearDeviceList();
  ClearShareList();
  std::memset(&CommandBuffers, 0, sizeof CommandBuffers);
  std::memcpy(ClientId, kExampleClientId, sizeof ClientId);
}

void ProtocolTest::TearDown() {
  CloseTransport();
  ClearDeviceList();
  ClearShareList();
  SetTraceSink(nullptr);
  SetSocketLayer(nullptr);
  SetClock(nullptr);
}

void ProtocolTest::Open(const std::vector<std::string>& addresses) {
  sockets.hostAddresses = addresses;
  ASSERT_TRUE(OpenTransport());
  std::memcpy(ClientId, kExampleClientId, sizeof ClientId);
}

NasDevice* ProtocolTest::AddDevice(const Device& d, int interfaceIndex, bool select) {
  uint8_t identity[10];
  std::memcpy(identity, d.mac, 6);
  EXPECT_TRUE(ParseAddressText(d.ip.c_str(), identity + 6)) << d.ip;
  AppendDevice("nas", d.ip.c_str(), "255.255.255.0", "192.168.0.1", "0", identity, "",
               interfaceIndex);
  if (select) std::snprintf(CommandBuffers.selectedIp, sizeof CommandBuffers.selectedIp, "%s", d.ip.c_str());
  return DeviceList.tail;
}
