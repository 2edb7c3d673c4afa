// Request layouts byte for byte, and the reply helpers of the transport.
#include <cstring>

#include "fakes.h"
#include "requests.h"

namespace {

const uint8_t kIdentity[10] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 192, 168, 0, 32};

class PacketTest : public ProtocolTest {};

TEST_F(PacketTest, DiscoverRequestIsTypeAndClientIdOnly) {
  uint8_t buffer[kPacketBuffer];
  std::memset(buffer, 0xEE, sizeof buffer);
  const size_t n = BuildDiscoverRequest(buffer);
  const Bytes expected = {0x01, 0x3A, 0x7F, 0x01, 0xC2, 0x55, 0xE0, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(Hex(Bytes(buffer, buffer + n)), Hex(expected));
  for (size_t i = n; i < kPacketBuffer; ++i) ASSERT_EQ(buffer[i], 0) << "byte " << i << " not cleared";
}

TEST_F(PacketTest, QueryRequestOfTheWorkedExample) {
  uint8_t buffer[kPacketBuffer];
  std::memset(buffer, 0xEE, sizeof buffer);
  const size_t n = BuildQueryRequest(buffer, kIdentity, kCodeLanConfig, nullptr, 0);
  const Bytes expected = {0x03, 0x3A, 0x7F, 0x01, 0xC2, 0x55, 0xE0, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0xC0, 0xA8, 0x00,
                          0x20, 0x14, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(Hex(Bytes(buffer, buffer + n)), Hex(expected));
  for (size_t i = n; i < kPacketBuffer; ++i) ASSERT_EQ(buffer[i], 0) << "byte " << i << " not cleared";
}

TEST_F(PacketTest, QueryRequestCarriesLengthAndData) {
  uint8_t buffer[kPacketBuffer];
  const size_t n = BuildQueryRequest(buffer, kIdentity, kCodeAdminLogin, "abc", 3);
  ASSERT_EQ(n, 31u);
  EXPECT_EQ(GetLe32(buffer + 24), 3u);
  EXPECT_EQ(std::memcmp(buffer + 28, "abc", 3), 0);
}

TEST_F(PacketTest, SetRequestCutsNetmaskAndGatewayToSixteenBytes) {
  uint8_t buffer[kPacketBuffer];
  const char* sixteen = "255.255.255.2550";  // fills its field: no terminator
  const size_t n = BuildSetRequest(buffer, kIdentity, kCodeMountMode, sixteen, "10.0.0.1", "rw", 2);
  ASSERT_EQ(n, 62u);
  EXPECT_EQ(buffer[0], kSetRequest);
  EXPECT_EQ(buffer[21], kCodeMountMode);
  EXPECT_EQ(std::memcmp(buffer + 24, sixteen, 16), 0);
  EXPECT_EQ(std::memcmp(buffer + 40, "10.0.0.1\0\0\0\0\0\0\0\0", 16), 0);
  EXPECT_EQ(GetLe32(buffer + 56), 2u);
  EXPECT_EQ(std::memcmp(buffer + 60, "rw", 2), 0);
  EXPECT_EQ(buffer[62], 0);
}

TEST_F(PacketTest, SetRequestWithoutTextsLeavesThemZero) {
  uint8_t buffer[kPacketBuffer];
  std::memset(buffer, 0xEE, sizeof buffer);
  ASSERT_EQ(BuildSetRequest(buffer, kIdentity, kCodeDhcpClient, nullptr, nullptr, nullptr, 0), 60u);
  for (size_t i = 24; i < 60; ++i) EXPECT_EQ(buffer[i], 0) << "byte " << i;
}

// Every other test and the simulator use the names; this table holds the
// numbers that the devices know.
TEST(CommandCodeTest, NamesCarryTheDevicesNumbers) {
  struct Case {
    CommandCode code;
    int wire;
  } cases[] = {
      {kCodeStaticAddress, 1},
      {kCodeDhcpClient, 2},
      {kCodeShareList, 3},
      {kCodeAdminLogin, 4},
      {kCodeWorkgroup, 6},
      {kCodeSetWorkgroup, 7},
      {kCodeSetCodePage, 8},
      {kCodeCodePage, 9},
      {kCodeMountMode, 10},
      {kCodeDiskStatus, 11},
      {kCodeShareName, 12},
      {kCodeStopService, 13},
      {kCodeRegisterAddon, 14},
      {kCodeBtFirmware, 15},
      {kCodeDomain, 18},
      {kCodeSslMode, 19},
      {kCodeLanConfig, 20},
      {kCodeSetLanConfig, 21},
  };
  for (const Case& c : cases) EXPECT_EQ(int(c.code), c.wire) << "expected " << c.wire << ", got " << int(c.code);
}

TEST_F(PacketTest, OnlyTheSixRandomClientIdBytesAreCompared) {
  Bytes reply = Header(kQueryReply, "192.168.0.32");
  EXPECT_TRUE(IsOwnReply(reply.data()));
  reply[7] = reply[8] = reply[9] = reply[10] = 0x99;  // client address bytes
  EXPECT_TRUE(IsOwnReply(reply.data()));
  reply[6] ^= 1;
  EXPECT_FALSE(IsOwnReply(reply.data()));
}

TEST_F(PacketTest, DeviceAddressComesFromTheHeaderOctetsAsUnsigned) {
  Bytes reply = Header(kQueryReply, "200.255.0.7");
  char text[kAddressText];
  FormatDeviceAddress(reply.data(), text);
  EXPECT_STREQ(text, "200.255.0.7");
}

}  // namespace
