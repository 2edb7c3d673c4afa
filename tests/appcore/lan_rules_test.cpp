#include "lan_rules.h"
#include "text_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

const char* IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Hand: return "Hand";
    case MessageIcon::Exclamation: return "Exclamation";
    case MessageIcon::Information: return "Information";
  }
  return "?";
}

// What a failed check must show; message nullptr means the check passes.
struct Expect {
  const char* message;
  const char* caption;
  MessageIcon icon;
  AddressField control;
  int field;
};

constexpr AddressField kAddr = AddressField::Address;
constexpr AddressField kMask = AddressField::Netmask;
constexpr AddressField kGate = AddressField::Gateway;
constexpr AddressField kNone = AddressField::None;

constexpr Expect kPass{nullptr, nullptr, MessageIcon::Information, kNone, -1};

void ExpectResult(const Expect& want, const LanCheckResult& got) {
  if (want.message == nullptr) {
    EXPECT_TRUE(got.ok) << "expected pass, got message: " << (got.message ? got.message : "(null)");
    EXPECT_EQ(got.message, nullptr);
    EXPECT_EQ(got.control, kNone);
    EXPECT_EQ(got.field, -1);
    return;
  }
  EXPECT_FALSE(got.ok) << "expected \"" << want.message << "\", got a pass";
  EXPECT_STREQ(want.message, got.message);
  EXPECT_STREQ(want.caption, got.caption);
  EXPECT_EQ(IconName(want.icon), std::string(IconName(got.icon)));
  EXPECT_EQ(want.control, got.control);
  EXPECT_EQ(want.field, got.field);
}

struct FieldCase {
  AddressField kind;
  int f[4];
  bool blank;
  Expect want;
};

constexpr MessageIcon kInfo = MessageIcon::Information;

const FieldCase kFieldCases[] = {
    {kAddr, {192, 168, 0, 10}, false, kPass},
    {kAddr, {1, 0, 0, 0}, false, kPass},
    {kAddr, {223, 255, 255, 255}, false, kPass},
    {kAddr, {0, 1, 2, 3}, false, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, kAddr, 0}},
    {kAddr, {224, 0, 0, 5}, false, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, kAddr, 0}},
    {kAddr, {10, 256, 0, 1}, false, {"Invalid IP address in 2nd digit. It should be 0-255.", "Error", kInfo, kAddr, 1}},
    {kAddr, {10, 0, 300, 1}, false, {"Invalid IP address in 3rd digit. It should be 0-255.", "Error", kInfo, kAddr, 2}},
    {kAddr, {10, 0, 0, 256}, false, {"Invalid IP address in 4th digit. It should be 0-255.", "Error", kInfo, kAddr, 3}},
    {kAddr, {10, -1, 0, 1}, false, {"Invalid IP address in 2nd digit. It should be 0-255.", "Error", kInfo, kAddr, 1}},
    // The first bad field is reported, not a later one.
    {kAddr, {0, 999, 999, 999}, false, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, kAddr, 0}},
    // The blank flag only excuses a gateway.
    {kAddr, {0, 0, 0, 0}, true, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, kAddr, 0}},
    {kMask, {0, 0, 0, 0}, false, kPass},
    {kMask, {255, 255, 255, 255}, false, kPass},
    {kMask, {256, 0, 0, 0}, false, {"Invalid subnet mask address in 1st digit. It should be 0-255.", "Error", kInfo, kMask, 0}},
    {kMask, {255, 256, 0, 0}, false, {"Invalid subnet mask address in 2nd digit. It should be 0-255.", "Error", kInfo, kMask, 1}},
    {kMask, {255, 255, 256, 0}, false, {"Invalid subnet mask address in 3rd digit. It should be 0-255.", "Error", kInfo, kMask, 2}},
    {kMask, {255, 255, 255, 256}, false, {"Invalid subnet mask address in 4th digit. It should be 0-255.", "Error", kInfo, kMask, 3}},
    {kGate, {0, 0, 0, 0}, true, kPass},
    {kGate, {0, 999, 0, 0}, true, kPass},
    {kGate, {192, 168, 0, 1}, false, kPass},
    {kGate, {0, 0, 0, 0}, false, {"Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", kInfo, kGate, 0}},
    {kGate, {230, 0, 0, 1}, false, {"Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", kInfo, kGate, 0}},
    {kGate, {10, 256, 0, 1}, false, {"Invalid gateway IP address in 2nd digit. It should be 0-255.", "Error", kInfo, kGate, 1}},
    {kGate, {10, 0, 256, 1}, false, {"Invalid gateway IP address in 3rd digit. It should be 0-255.", "Error", kInfo, kGate, 2}},
    {kGate, {10, 0, 0, 256}, false, {"Invalid gateway IP address in 4th digit. It should be 0-255.", "Error", kInfo, kGate, 3}},
    {AddressField(0), {0, 999, 999, 999}, false, kPass},
    {AddressField(4), {0, 999, 999, 999}, false, kPass},
};

TEST(CheckAddressFieldsRule, FieldTable) {
  for (const FieldCase& c : kFieldCases) {
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << " fields " << c.f[0] << "." << c.f[1] << "."
                                      << c.f[2] << "." << c.f[3] << (c.blank ? " blank" : ""));
    ExpectResult(c.want, CheckAddressFieldsRule(c.kind, c.f, c.blank));
  }
}

TEST(CheckAddressFieldsRule, MissingFieldsReadAsZeros) {
  ExpectResult({"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, kAddr, 0},
               CheckAddressFieldsRule(kAddr, nullptr));
  ExpectResult(kPass, CheckAddressFieldsRule(kGate, nullptr, true));
}

struct MaskCase {
  int m[4];
  bool valid;
};

const MaskCase kMaskCases[] = {
    {{255, 255, 255, 0}, true},
    {{255, 255, 255, 255}, true},
    {{255, 255, 255, 252}, true},
    {{128, 0, 0, 0}, true},
    {{255, 0, 0, 0}, true},
    {{255, 0, 255, 0}, false},
    {{0, 255, 255, 255}, false},
    {{0, 0, 0, 0}, false},
    {{255, 255, 255, 1}, false},
    {{255, 254, 255, 0}, false},
    {{255, 255, 0, 128}, false},
    {{256, 0, 0, 0}, false},
    {{255, 255, 255, -1}, false},
};

TEST(IsContiguousNetmask, MaskTable) {
  for (const MaskCase& c : kMaskCases) {
    EXPECT_EQ(c.valid, IsContiguousNetmask(c.m[0], c.m[1], c.m[2], c.m[3]))
        << "mask " << c.m[0] << "." << c.m[1] << "." << c.m[2] << "." << c.m[3];
  }
}

struct ComboCase {
  int a[4];
  int m[4];
  int g[4];
  bool bad;
};

const ComboCase kComboCases[] = {
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 1}, false},
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 254}, false},
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 0}, true},  // network address
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 255}, true},  // broadcast address
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {10, 0, 0, 1}, true},  // another subnet
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {0, 0, 0, 0}, true},  // blank gateway
    {{10, 1, 2, 3}, {255, 0, 0, 0}, {10, 200, 0, 1}, false},
    {{10, 1, 2, 3}, {255, 0, 0, 0}, {10, 255, 255, 255}, true},
    {{10, 1, 2, 3}, {255, 0, 0, 0}, {11, 0, 0, 1}, true},
    {{169, 254, 1, 2}, {255, 255, 0, 0}, {0, 0, 0, 0}, false},
    {{169, 254, 1, 2}, {255, 255, 255, 0}, {10, 0, 0, 1}, false},
};

TEST(IsBadTcpIpConfig, CombinationTable) {
  for (const ComboCase& c : kComboCases) {
    EXPECT_EQ(c.bad, IsBadTcpIpConfig(c.a, c.m, c.g))
        << "address " << c.a[0] << "." << c.a[1] << "." << c.a[2] << "." << c.a[3] << " mask " << c.m[0]
        << "." << c.m[1] << "." << c.m[2] << "." << c.m[3] << " gateway " << c.g[0] << "." << c.g[1]
        << "." << c.g[2] << "." << c.g[3];
  }
}

struct ValidateCase {
  const char* name;
  bool addressBlank;
  int a[4];
  bool netmaskBlank;
  int m[4];
  bool gatewayBlank;
  int g[4];
  Expect want;
};

constexpr MessageIcon kWarn = MessageIcon::Exclamation;
constexpr MessageIcon kHand = MessageIcon::Hand;
#define ANY \
  { 0, 0, 0, 0 }
#define MASK24 \
  { 255, 255, 255, 0 }
#define TCPIP_BAD \
  { "You enter incorrect TCP/IP configuration. Please try again.", "Error", kHand, kNone, -1 }

const ValidateCase kValidateCases[] = {
    {"good static", false, {192, 168, 0, 10}, false, MASK24, false, {192, 168, 0, 1}, kPass},
    {"blank address first", true, ANY, true, ANY, true, ANY, {"Please input IP address!", "Warning", kWarn, kAddr, -1}},
    {"blank netmask", false, {192, 168, 0, 10}, true, ANY, false, {192, 168, 0, 1}, {"Please input net mask address!", "Warning", kWarn, kMask, -1}},
    {"loopback before field messages", false, {127, 0, 0, 1}, false, {255, 0, 255, 0}, false, {0, 0, 0, 0}, {"IP address input error. Please try again.", "Warning", kWarn, kAddr, -1}},
    {"127 with a bad later field", false, {127, 999, 0, 1}, false, MASK24, false, {127, 0, 0, 2}, {"IP address input error. Please try again.", "Warning", kWarn, kAddr, -1}},
    {"address 0.1.2.3", false, {0, 1, 2, 3}, false, MASK24, false, {192, 168, 0, 1}, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, kAddr, 0}},
    {"address 224.0.0.5", false, {224, 0, 0, 5}, false, MASK24, false, {192, 168, 0, 1}, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, kAddr, 0}},
    {"netmask field before gateway field", false, {192, 168, 0, 10}, false, {255, 300, 0, 0}, false, {0, 0, 0, 9}, {"Invalid subnet mask address in 2nd digit. It should be 0-255.", "Error", kInfo, kMask, 1}},
    {"gateway field before netmask shape", false, {192, 168, 0, 10}, false, {255, 0, 255, 0}, false, {0, 1, 1, 1}, {"Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", kInfo, kGate, 0}},
    {"netmask 255.0.255.0", false, {192, 168, 0, 10}, false, {255, 0, 255, 0}, false, {192, 168, 0, 1}, {"Netmask address input invalid. Please try again.", "Error", kHand, kMask, -1}},
    {"netmask 0.255.255.255", false, {192, 168, 0, 10}, false, {0, 255, 255, 255}, false, {192, 168, 0, 1}, {"Netmask address input invalid. Please try again.", "Error", kHand, kMask, -1}},
    // All ones passes the shape check; only the combination check refuses it.
    {"netmask 255.255.255.255", false, {192, 168, 0, 10}, false, {255, 255, 255, 255}, false, {192, 168, 0, 1}, TCPIP_BAD},
    {"gateway is network", false, {192, 168, 0, 10}, false, MASK24, false, {192, 168, 0, 0}, TCPIP_BAD},
    {"gateway is broadcast", false, {192, 168, 0, 10}, false, MASK24, false, {192, 168, 0, 255}, TCPIP_BAD},
    {"gateway in another subnet", false, {192, 168, 0, 10}, false, MASK24, false, {10, 0, 0, 1}, TCPIP_BAD},
    {"blank gateway outside link-local", false, {192, 168, 0, 10}, false, MASK24, true, ANY, TCPIP_BAD},
    // A blank gateway reads as zeros even when the array holds a good gateway.
    {"blank gateway ignores its array", false, {192, 168, 0, 10}, false, MASK24, true, {192, 168, 0, 1}, TCPIP_BAD},
    {"link-local with blank gateway", false, {169, 254, 1, 2}, false, {255, 255, 0, 0}, true, ANY, kPass},
    {"link-local skips gateway fields", false, {169, 254, 1, 2}, false, {255, 255, 0, 0}, false, {0, 0, 0, 0}, kPass},
    {"link-local still checks netmask", false, {169, 254, 1, 2}, false, {255, 0, 255, 0}, true, ANY, {"Netmask address input invalid. Please try again.", "Error", kHand, kMask, -1}},
    {"169.253 is not link-local", false, {169, 253, 1, 2}, false, {255, 255, 0, 0}, true, ANY, TCPIP_BAD},
};

TEST(ValidateStaticSettings, WindowOrderTable) {
  for (const ValidateCase& c : kValidateCases) {
    SCOPED_TRACE(c.name);
    ExpectResult(c.want, ValidateStaticSettings(c.addressBlank, c.a, c.netmaskBlank, c.m, c.gatewayBlank, c.g));
  }
}

// What the check leaves in targetIp, netmask and gateway: each is filled
// from the first half of the record once its own checks passed, so that a
// refusal part way leaves the later ones as they were ("old").
TEST(ValidateStaticSettings, FillsTheBuffersAsTheChecksPass) {
  struct Case {
    const char* name;
    int a[4];
    int m[4];
    bool gatewayBlank;
    int g[4];
    const char* targetIp;
    const char* netmask;
    const char* gateway;
  } cases[] = {
      {"accepted", {192, 168, 0, 10}, MASK24, false, {192, 168, 0, 1}, "1.1.1.1", "2.2.2.2", "3.3.3.3"},
      {"link-local, blank gateway sends none", {169, 254, 1, 2}, {255, 255, 0, 0}, true, ANY, "1.1.1.1", "2.2.2.2", ""},
      {"gateway 0.0.0.0 sends none", {169, 254, 1, 2}, {255, 255, 0, 0}, false, ANY, "1.1.1.1", "2.2.2.2", ""},
      {"loopback: nothing", {127, 0, 0, 1}, MASK24, false, {127, 0, 0, 2}, "old", "old", "old"},
      {"address field: nothing", {0, 1, 2, 3}, MASK24, false, {192, 168, 0, 1}, "old", "old", "old"},
      {"netmask field: address only", {192, 168, 0, 10}, {255, 300, 0, 0}, false, {192, 168, 0, 1}, "1.1.1.1", "old", "old"},
      {"gateway field: address and netmask", {192, 168, 0, 10}, MASK24, false, {0, 1, 1, 1}, "1.1.1.1", "2.2.2.2", "old"},
      {"combination: address and netmask", {192, 168, 0, 10}, MASK24, false, {10, 0, 0, 1}, "1.1.1.1", "2.2.2.2", "old"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommandBuffersRecord b{};
    CopyTextField(b.targetIp, "old");
    CopyTextField(b.netmask, "old");
    CopyTextField(b.gateway, "old");
    LanPortConfig& first = b.lanConfig.port[0];
    CopyTextField(first.address, "1.1.1.1");
    CopyTextField(first.netmask, "2.2.2.2");
    CopyTextField(first.gateway, "3.3.3.3");
    ValidateStaticSettings(false, c.a, false, c.m, c.gatewayBlank, c.g, &b);
    EXPECT_STREQ(c.targetIp, b.targetIp);
    EXPECT_STREQ(c.netmask, b.netmask);
    EXPECT_STREQ(c.gateway, b.gateway);
  }
}

TEST(ValidateStaticSettings, SixteenCharacterTextsAreSentWithoutTerminator) {
  CommandBuffersRecord b{};
  std::memcpy(b.lanConfig.port[0].address, "192.168.100.100x", 16);  // fills its field
  const int a[4] = {192, 168, 0, 10}, m[4] = MASK24, g[4] = {192, 168, 0, 1};
  ASSERT_TRUE(ValidateStaticSettings(false, a, false, m, false, g, &b).ok);
  EXPECT_EQ(0, std::memcmp(b.targetIp, "192.168.100.100x", 16));
}

TEST(StageLanPortSettings, WritesTheNamedHalfOnly) {
  struct Case {
    const char* port;
    int half;
  } cases[] = {{"LAN1", 0}, {"LAN2", 1}, {"", 0}, {nullptr, 0}, {"lan2", 0}, {"LAN2 ", 0}, {"LAN3", 0}};
  const LanPortValues values = {{192, 168, 0, 40}, {255, 255, 255, 0}, {0, 0, 0, 0}, true};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port ? c.port : "(null)");
    EXPECT_EQ(c.half, LanPortHalf(c.port));
    LanConfig config{};
    for (LanPortConfig& p : config.port) {
      CopyTextField(p.name, "NAME");
      CopyTextField(p.address, "keep");
      CopyTextField(p.netmask, "keep");
      CopyTextField(p.gateway, "keep");
      CopyTextField(p.mode, "0");
    }
    StageLanPortSettings(config, c.port, values);
    const LanPortConfig& written = config.port[c.half];
    const LanPortConfig& other = config.port[1 - c.half];
    EXPECT_STREQ("NAME", written.name) << "names are never written";
    EXPECT_STREQ("192.168.0.40", written.address);
    EXPECT_STREQ("255.255.255.0", written.netmask);
    EXPECT_STREQ("0.0.0.0", written.gateway);
    EXPECT_STREQ("1", written.mode);
    EXPECT_STREQ("keep", other.address);
    EXPECT_STREQ("keep", other.gateway);
    EXPECT_STREQ("0", other.mode);
  }
}

TEST(StageLanPortSettings, StaticModeAndFieldsBeyondAByte) {
  LanConfig config{};
  // A field beyond 255 is staged as typed; the check refuses it later.
  const LanPortValues values = {{10, 0, 0, 999}, {255, 0, 0, 0}, {10, 0, 0, 1}, false};
  StageLanPortSettings(config, "LAN1", values);
  EXPECT_STREQ("10.0.0.999", config.port[0].address);
  EXPECT_STREQ("0", config.port[0].mode);
  StageLanPortMode(config, "LAN2", true);
  EXPECT_STREQ("1", config.port[1].mode);
  EXPECT_STREQ("0", config.port[0].mode);
}

TEST(DefaultLanPort, SecondPortWhenTheDeviceAnsweredFromIt) {
  struct Case {
    const char* name;
    const char* firstAddress;
    const char* deviceAddress;
    const char* port;
  } cases[] = {
      {"LAN1", "192.168.0.32", "192.168.0.32", "LAN1"},
      {"LAN1", "192.168.0.32", "10.0.0.2", "LAN2"},
      {"eth0", "192.168.0.32", "10.0.0.2", "LAN1"},  // one port under another name
      {"", "", "10.0.0.2", "LAN1"},  // no per-port configuration
      {"LAN1x", "192.168.0.32", "10.0.0.2", "LAN1"},
  };
  for (const Case& c : cases) {
    LanConfig config{};
    CopyTextField(config.port[0].name, c.name);
    CopyTextField(config.port[0].address, c.firstAddress);
    EXPECT_STREQ(c.port, DefaultLanPort(config, c.deviceAddress)) << c.name << " " << c.deviceAddress;
  }
}

}  // namespace
