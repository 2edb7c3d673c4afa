#include "requests.h"

#include <cstring>

#include "text_copy.h"
#include "transport.h"

namespace {

void BuildHeader(uint8_t* buffer, PacketType type, const uint8_t identity[10], CommandCode code) {
  std::memset(buffer, 0, kPacketBuffer);
  buffer[ProtocolPacket::kType] = type;
  std::memcpy(buffer + ProtocolPacket::kClientId, ClientId, sizeof ClientId);
  std::memcpy(buffer + ProtocolPacket::kDeviceMac, identity, 10);
  buffer[ProtocolPacket::kCommand] = code;
}

size_t PutData(uint8_t* buffer, size_t lengthOffset, size_t dataOffset, const void* data, size_t n) {
  if (!data) n = 0;
  if (n > kPacketBuffer - dataOffset) n = kPacketBuffer - dataOffset;
  PutLe32(buffer + lengthOffset, static_cast<uint32_t>(n));
  if (n) std::memcpy(buffer + dataOffset, data, n);
  return dataOffset + n;
}

}  // namespace

size_t BuildDiscoverRequest(uint8_t* buffer) {
  std::memset(buffer, 0, kPacketBuffer);
  buffer[ProtocolPacket::kType] = kDiscoverRequest;
  std::memcpy(buffer + ProtocolPacket::kClientId, ClientId, sizeof ClientId);
  return ProtocolPacket::kDiscoverRequestLength;
}

size_t BuildQueryRequest(uint8_t* buffer, const uint8_t identity[10], CommandCode code,
                         const void* data, size_t n) {
  BuildHeader(buffer, kQueryRequest, identity, code);
  return PutData(buffer, ProtocolPacket::kQueryLength, ProtocolPacket::kQueryData, data, n);
}

size_t BuildSetRequest(uint8_t* buffer, const uint8_t identity[10], CommandCode code,
                       const char* netmask, const char* gateway, const void* data, size_t n) {
  using namespace ProtocolPacket;
  BuildHeader(buffer, kSetRequest, identity, code);
  // Cut to 16 bytes: a 16-character text goes without a terminator.
  if (netmask) std::memcpy(buffer + kNetmask, netmask, BoundedLength(netmask, kTextField));
  if (gateway) std::memcpy(buffer + kGateway, gateway, BoundedLength(gateway, kTextField));
  return PutData(buffer, kSettingsLength, kSettingsData, data, n);
}
