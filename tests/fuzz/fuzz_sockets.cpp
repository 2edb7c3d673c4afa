#include "fuzz_sockets.h"

#include <cstring>

#include "commands.h"
#include "discovery.h"
#include "packet.h"
#include "text_copy.h"
#include "transport.h"

namespace fuzz {

namespace {
NoWaitClock theClock;
ScriptedSockets theSockets;
bool opened = false;
const uint8_t kClient[10] = {0x3A, 0x7F, 0x01, 0xC2, 0x55, 0xE0, 0, 0, 0, 0};
const uint8_t kDeviceMac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
}  // namespace

int ScriptedSockets::WaitReadable(SocketHandle, int timeoutMs) {
  if (!m_armed || script.empty()) {
    theClock.Pause(timeoutMs);
    return 0;
  }
  switch (script.front().kind) {
    case Event::kSilence:
      script.pop_front();
      theClock.Pause(timeoutMs);
      return 0;
    case Event::kWaitError:
      script.pop_front();
      return -1;
    default:
      return 1;
  }
}

int ScriptedSockets::Receive(SocketHandle, uint8_t* buffer, size_t capacity) {
  if (script.empty()) return -1;
  Event e = std::move(script.front());
  script.pop_front();
  if (e.kind != Event::kDatagram) return -1;
  const size_t n = e.bytes.size() < capacity ? e.bytes.size() : capacity;
  if (n) std::memcpy(buffer, e.bytes.data(), n);
  return static_cast<int>(n);
}

void Install() {
  SetClock(&theClock);
  SetSocketLayer(&theSockets);
  if (!opened) {
    SetTraceSink([](const char*) {});
    OpenTransport();
    opened = true;
  }
  std::memcpy(ClientId, kClient, sizeof kClient);
  theSockets.script.clear();
  theSockets.m_armed = false;
}

ScriptedSockets& ActiveSocketLayer() { return theSockets; }

void FillScript(FuzzedDataProvider& data, bool stampHeader) {
  while (data.remaining_bytes() > 0) {
    Event e;
    e.kind = static_cast<Event::Kind>(data.ConsumeIntegralInRange<int>(0, 3));
    if (e.kind == Event::kDatagram) {
      const std::string bytes = data.ConsumeRandomLengthString(kPacketBuffer + 16);
      e.bytes.assign(bytes.begin(), bytes.end());
      if (stampHeader && e.bytes.size() >= ProtocolPacket::kHeaderLength) {
        std::memcpy(&e.bytes[ProtocolPacket::kClientId], ClientId, 6);
        std::memcpy(&e.bytes[ProtocolPacket::kDeviceAddress], kDeviceOctets, 4);
      }
    }
    theSockets.script.push_back(std::move(e));
  }
}

void SelectOneDevice() {
  ClearDeviceList();
  ClearShareList();
  CommandBuffers = CommandBuffersRecord{};
  uint8_t identity[10];
  std::memcpy(identity, kDeviceMac, 6);
  std::memcpy(identity + 6, kDeviceOctets, 4);
  AppendDevice("nas", kDeviceAddress, "255.255.255.0", "192.168.0.1", "0", identity, "", 0);
  CopyTextField(CommandBuffers.selectedIp, kDeviceAddress);
}

}  // namespace fuzz
