#include "discovery.h"

#include <cstring>
#include <new>

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

// Turns one discovery reply of n bytes (terminated, zero past n) that
// arrived on interface i into a record, unless its address is known.
void Accept(const uint8_t* reply, size_t n, size_t lengthOffset, size_t dataOffset, bool hasModel,
            int interfaceIndex) {
  using namespace ProtocolPacket;
  // A datagram that stops before its layout's data is truncated: taking
  // it would make a record out of zeros (address 0.0.0.0).
  if (n < dataOffset) return;

  // The name is the announced number of data bytes, bounded to what was
  // received and to the 255 characters that the record holds.
  size_t nameLength = GetLe32(reply + lengthOffset);
  if (nameLength > n - dataOffset) nameLength = n - dataOffset;
  if (nameLength > kNameMax) nameLength = kNameMax;
  char name[kNameMax + 1];
  CopyField(name, sizeof name, reinterpret_cast<const char*>(reply + dataOffset), nameLength);

  char ipText[kAddressText];
  FormatDeviceAddress(reply, ipText);
  if (FindDeviceByAddress(ipText)) return;  // the first reply per address wins

  // Texts that fill their whole field are cut to fit the record.
  char netmask[kAddressText];
  char gateway[kAddressText];
  CopyField(netmask, sizeof netmask, reinterpret_cast<const char*>(reply + kNetmask), kTextField);
  CopyField(gateway, sizeof gateway, reinterpret_cast<const char*>(reply + kGateway), kTextField);
  const char dhcpFlag[2] = {static_cast<char>(reply[kCommand]), 0};
  char model[sizeof(NasDevice::model)] = {};
  if (hasModel)
    CopyField(model, sizeof model, reinterpret_cast<const char*>(reply + kModel), kModelField);
  AppendDevice(name, ipText, netmask, gateway, dhcpFlag, reply + kDeviceMac, model,
               interfaceIndex);
}

bool PassesFilter(const uint8_t* reply, unsigned deviceClass, unsigned deviceSubclass) {
  return (deviceClass == 0 || reply[ProtocolPacket::kDeviceClass] == deviceClass) &&
         (deviceSubclass == 0 || reply[ProtocolPacket::kDeviceSubclass] == deviceSubclass);
}

}  // namespace

void DiscoverDevices(unsigned deviceClass, unsigned deviceSubclass) {
  using namespace ProtocolPacket;
  ClearDeviceList();
  uint8_t request[kPacketBuffer] = {};
  uint8_t reply[kPacketBuffer + 1] = {};
  const size_t length = BuildDiscoverRequest(request);
  SocketLayer& sockets = Sockets();

  for (int i = 0; i < LocalInterfaceTable.count && i < kMaxInterfaces; ++i) {
    SendPacket(i, request, length);
    PauseMs(kAfterSendPauseMs);
    const SocketHandle s = LocalInterfaceTable.receiveSocket[i];
    for (int cycle = 0; cycle < kListenCycles; ++cycle) {
      // One datagram at most per cycle. A failed receive uses up its
      // cycle, so a socket that keeps failing cannot hold discovery.
      if (sockets.WaitReadable(s, kPollWaitMs) > 0) {
        const int n = sockets.Receive(s, reply, kPacketBuffer);
        if (n >= 0 && size_t(n) <= kPacketBuffer) {
          std::memset(reply + n, 0, kPacketBuffer + 1 - size_t(n));
          const size_t got = size_t(n);
          switch (reply[kType]) {
            case kDiscoverReply:
              if (IsOwnReply(reply)) Accept(reply, got, kSettingsLength, kSettingsData, false, i);
              break;
            case kDiscoverReplyClassed:
              if (IsOwnReply(reply) && PassesFilter(reply, deviceClass, deviceSubclass))
                Accept(reply, got, kClassedLength, kClassedData, false, i);
              break;
            case kDiscoverReplyModel:
              if (IsOwnReply(reply) && PassesFilter(reply, deviceClass, deviceSubclass))
                Accept(reply, got, kModelLength, kModelData, true, i);
              break;
            default:
              break;
          }
        }
      }
      if (cycle + 1 < kListenCycles) PauseMs(kCyclePauseMs);
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
  if (DeviceList.tail)
    DeviceList.tail->next = d;
  else
    DeviceList.head = d;
  DeviceList.tail = d;
  ++DeviceList.count;
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
