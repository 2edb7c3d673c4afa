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

namespace ProtocolPacket {
// Common header.
constexpr size_t kType = 0;
constexpr size_t kClientId = 1;        // 6 bytes compared, 10 sent
constexpr size_t kClientAddress = 7;   // 4 bytes, zero in requests
constexpr size_t kDeviceMac = 11;      // 6 bytes
constexpr size_t kDeviceAddress = 17;  // 4 octets
constexpr size_t kCommand = 21;        // command code; DHCP flag in discovery replies
constexpr size_t kHeaderLength = 24;
constexpr size_t kDiscoverRequestLength = 11;
// Query layout (types 3, 4).
constexpr size_t kQueryLength = 24;
constexpr size_t kQueryData = 28;
// Settings layout (types 2, 5).
constexpr size_t kNetmask = 24;        // 16 bytes
constexpr size_t kGateway = 40;        // 16 bytes
constexpr size_t kTextField = 16;
constexpr size_t kSettingsLength = 56;
constexpr size_t kSettingsData = 60;
// Classed layout (type 7).
constexpr size_t kDeviceClass = 56;
constexpr size_t kDeviceSubclass = 57;
constexpr size_t kClassedLength = 68;
constexpr size_t kClassedData = 72;
// Model layout (type 8).
constexpr size_t kModel = 68;          // 32 bytes
constexpr size_t kModelField = 32;
constexpr size_t kModelLength = 100;
constexpr size_t kModelData = 104;
}  // namespace ProtocolPacket

inline void PutLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}
inline uint32_t GetLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
