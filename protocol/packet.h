// Byte layouts of the device protocol's datagrams. Multi-byte integers are
// little-endian 32-bit; addresses are four raw octets, first octet first;
// texts are zero-terminated inside their fixed field.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint16_t kProtocolPort = 13579;
constexpr const char* kProtocolGroup = "224.0.0.1";
constexpr int kMaxInterfaces = 8;
constexpr size_t kAddressText = 16;
constexpr size_t kPacketBuffer = 4096;
constexpr int kPollWaitMs = 10;

enum PacketType : uint8_t {
  kDiscoverRequest = 1,
  kDiscoverReply = 2,
  kQueryRequest = 3,
  kQueryReply = 4,
  kSetRequest = 5,
  kSetReply = 6,
  kDiscoverReplyClassed = 7,
  kDiscoverReplyModel = 8,
};

// Command codes, request byte 21 of the query (type 3) and set (type 5)
// requests. Codes 5, 16 and 17 are not used.
enum CommandCode : uint8_t {
  kCodeStaticAddress = 1,  // set: address text (device without per-port configuration)
  kCodeDhcpClient = 2,  // set: LAN configuration record or nothing
  kCodeShareList = 3,  // query: share names joined by ':'
  kCodeAdminLogin = 4,  // query: user, 0x55 0xAA, password; reply byte 28 non-zero
  kCodeWorkgroup = 6,  // query
  kCodeSetWorkgroup = 7,  // set
  kCodeSetCodePage = 8,  // set; the device restarts
  kCodeCodePage = 9,  // query
  kCodeMountMode = 10,  // set: "rw"
  kCodeDiskStatus = 11,  // query
  kCodeShareName = 12,  // query: the first volume's share
  kCodeStopService = 13,  // set: "stop"
  kCodeRegisterAddon = 14,  // set: "BT"; the device restarts
  kCodeBtFirmware = 15,  // query
  kCodeDomain = 18,  // query
  kCodeSslMode = 19,  // query
  kCodeLanConfig = 20,  // query: the LAN configuration text
  kCodeSetLanConfig = 21,  // set: the 120-byte LAN configuration record
};

namespace ProtocolPacket {
// Common header.
constexpr size_t kType = 0;
constexpr size_t kClientId = 1;  // 6 bytes compared, 10 sent
constexpr size_t kClientAddress = 7;  // 4 bytes, zero in requests
constexpr size_t kDeviceMac = 11;  // 6 bytes
constexpr size_t kDeviceAddress = 17;  // 4 octets
constexpr size_t kCommand = 21;  // command code; DHCP flag in discovery replies
constexpr size_t kHeaderLength = 24;
constexpr size_t kDiscoverRequestLength = 11;
// Query layout (types 3, 4).
constexpr size_t kQueryLength = 24;
constexpr size_t kQueryData = 28;
// Settings layout (types 2, 5).
constexpr size_t kNetmask = 24;  // 16 bytes
constexpr size_t kGateway = 40;  // 16 bytes
constexpr size_t kTextField = 16;
constexpr size_t kSettingsLength = 56;
constexpr size_t kSettingsData = 60;
// Classed layout (type 7).
constexpr size_t kDeviceClass = 56;
constexpr size_t kDeviceSubclass = 57;
constexpr size_t kClassedLength = 68;
constexpr size_t kClassedData = 72;
// Model layout (type 8).
constexpr size_t kModel = 68;  // 32 bytes
constexpr size_t kModelField = 32;
constexpr size_t kModelLength = 100;
constexpr size_t kModelData = 104;
}  // namespace ProtocolPacket

inline void PutLe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline uint32_t GetLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
