#include "discovery.h"

#include <cstring>
#include <new>
#include <vector>

#include "clock.h"
#include "record_list.h"
#include "requests.h"
#include "text_copy.h"
#include "transport.h"

DeviceListRecord DeviceList = {0, nullptr, nullptr};

namespace {

constexpr int kListenCycles = 32;
constexpr int kAfterSendPauseMs = 50;
constexpr int kCyclePauseMs = 20;
constexpr size_t kNameMax = sizeof(NasDevice::name) - 1;  // 255

void FreeAll() { FreeRecords(DeviceList); }

bool PassesFilter(const uint8_t* reply, unsigned deviceClass, unsigned deviceSubclass) {
  return (deviceClass == 0 || reply[ProtocolPacket::kDeviceClass] == deviceClass) &&
         (deviceSubclass == 0 || reply[ProtocolPacket::kDeviceSubclass] == deviceSubclass);
}

// Fills d (next left empty) from one discovery reply of n bytes,
// terminated, zero past n. False when the datagram is not an acceptable
// reply: another type, another client's id, outside the class filter, or
// shorter than its layout's fixed part (its address would be zeros).
bool ParseReply(const uint8_t* reply, size_t n, unsigned deviceClass, unsigned deviceSubclass,
                NasDevice& d) {
  using namespace ProtocolPacket;
  size_t lengthOffset = 0;
  size_t dataOffset = 0;
  const bool hasModel = reply[kType] == kDiscoverReplyModel;
  switch (reply[kType]) {
    case kDiscoverReply:
      lengthOffset = kSettingsLength;
      dataOffset = kSettingsData;
      break;
    case kDiscoverReplyClassed:
    case kDiscoverReplyModel:
      if (!PassesFilter(reply, deviceClass, deviceSubclass)) return false;
      lengthOffset = hasModel ? kModelLength : kClassedLength;
      dataOffset = hasModel ? kModelData : kClassedData;
      break;
    default:
      return false;
  }
  if (!IsOwnReply(reply) || n < dataOffset) return false;

  // The name is the announced number of data bytes, bounded to what was
  // received and to the 255 characters that the record holds.
  size_t nameLength = GetLe32(reply + lengthOffset);
  if (nameLength > n - dataOffset) nameLength = n - dataOffset;
  if (nameLength > kNameMax) nameLength = kNameMax;
  d = NasDevice();
  CopyField(d.name, sizeof d.name, reinterpret_cast<const char*>(reply + dataOffset), nameLength);
  FormatDeviceAddress(reply, d.ipText);
  // Texts that fill their whole field are cut to fit the record.
  CopyField(d.netmask, sizeof d.netmask, reinterpret_cast<const char*>(reply + kNetmask), kTextField);
  CopyField(d.gateway, sizeof d.gateway, reinterpret_cast<const char*>(reply + kGateway), kTextField);
  d.dhcpFlag[0] = static_cast<char>(reply[kCommand]);
  std::memcpy(d.mac, reply + kDeviceMac, sizeof d.mac);
  std::memcpy(d.ipBytes, reply + kDeviceAddress, sizeof d.ipBytes);
  if (hasModel)
    CopyField(d.model, sizeof d.model, reinterpret_cast<const char*>(reply + kModel), kModelField);
  return true;
}

// Replies taken in the listening window, per interface in order of arrival,
// one per address (the first).
using Taken = std::vector<NasDevice>;

bool HasAddress(const Taken& taken, const char* ipText) {
  for (const NasDevice& d : taken)
    if (std::strcmp(d.ipText, ipText) == 0) return true;
  return false;
}

// Takes the datagrams waiting on the receive sockets, one per socket in
// turn so that a busy interface does not starve the others. The first turn
// is always made; further turns only until deadline, so that a flood
// cannot stretch the window. A socket whose receive fails is left for the
// rest of the cycle, so a receive that keeps failing cannot hold it.
void TakeWaiting(int count, int64_t deadline, unsigned deviceClass, unsigned deviceSubclass,
                 uint8_t* reply, Taken* taken) {
  SocketLayer& sockets = ActiveSocketLayer();
  bool open[kMaxInterfaces];
  for (int i = 0; i < count; ++i) open[i] = LocalInterfaceTable.receiveSocket[i] != kNoSocket;
  for (;;) {
    bool tookAny = false;
    for (int i = 0; i < count; ++i) {
      if (!open[i]) continue;
      const SocketHandle s = LocalInterfaceTable.receiveSocket[i];
      if (sockets.WaitReadable(s, 0) <= 0) {
        open[i] = false;
        continue;
      }
      const int n = sockets.Receive(s, reply, kPacketBuffer);
      if (n < 0 || size_t(n) > kPacketBuffer) {
        open[i] = false;
        continue;
      }
      tookAny = true;
      std::memset(reply + n, 0, kPacketBuffer + 1 - size_t(n));
      NasDevice d;
      if (ParseReply(reply, size_t(n), deviceClass, deviceSubclass, d) && !HasAddress(taken[i], d.ipText))
        taken[i].push_back(d);
    }
    if (!tookAny || ActiveClock().NowMs() >= deadline) return;
  }
}

}  // namespace

void DiscoverDevices(unsigned deviceClass, unsigned deviceSubclass) {
  ClearDeviceList();
  uint8_t request[kPacketBuffer] = {};
  uint8_t reply[kPacketBuffer + 1] = {};
  const size_t length = BuildDiscoverRequest(request);
  const int count = LocalInterfaceTable.count < kMaxInterfaces ? LocalInterfaceTable.count : kMaxInterfaces;
  if (count <= 0) return;

  // One request through every interface, then one listening window for
  // all of them: the window lasts as long as one interface's used to.
  for (int i = 0; i < count; ++i) SendPacket(i, request, length);
  PauseMs(kAfterSendPauseMs);
  Taken taken[kMaxInterfaces];
  for (int cycle = 0; cycle < kListenCycles; ++cycle) {
    const int64_t deadline = ActiveClock().NowMs() + kPollWaitMs;
    // An error of the common wait (one bad socket) still lets each socket
    // be read on its own below.
    ActiveSocketLayer().WaitAnyReadable(LocalInterfaceTable.receiveSocket, count, kPollWaitMs);
    TakeWaiting(count, deadline, deviceClass, deviceSubclass, reply, taken);
    if (cycle + 1 < kListenCycles) PauseMs(kCyclePauseMs);
  }

  // Records by interface, then by arrival; the first reply per address
  // wins across interfaces.
  for (int i = 0; i < count; ++i) {
    for (const NasDevice& d : taken[i]) {
      if (FindDeviceByAddress(d.ipText)) continue;
      uint8_t identity[10];
      std::memcpy(identity, d.mac, 6);
      std::memcpy(identity + 6, d.ipBytes, 4);
      AppendDevice(d.name, d.ipText, d.netmask, d.gateway, d.dhcpFlag, identity, d.model, i);
    }
  }
}

NasDevice* FindDeviceByAddress(const char* ipText) {
  if (!ipText) return nullptr;
  for (NasDevice* d = DeviceList.head; d; d = d->next)
    if (std::strcmp(d->ipText, ipText) == 0) return d;
  return nullptr;
}

bool IsDeviceListEmpty() { return DeviceList.count == 0; }

void AppendDevice(const char* name, const char* ipText, const char* netmask,
                  const char* gateway, const char* dhcpFlag, const uint8_t identity[10],
                  const char* model, int interfaceIndex) {
  NasDevice* d = new (std::nothrow) NasDevice();  // zero-filled
  if (!d) return;  // skipped silently
  AppendRecord(DeviceList, d);
  CopyTextField(d->name, name);
  CopyTextField(d->ipText, ipText);
  CopyTextField(d->netmask, netmask);
  CopyTextField(d->gateway, gateway);
  CopyTextField(d->dhcpFlag, dhcpFlag);
  if (identity) {
    std::memcpy(d->mac, identity, 6);
    std::memcpy(d->ipBytes, identity + 6, 4);
  }
  CopyTextField(d->model, model);
  d->interfaceIndex = interfaceIndex;
}

void ClearDeviceList() { FreeAll(); }

void FreeDeviceRecords() { FreeAll(); }
