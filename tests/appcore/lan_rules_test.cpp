#include "lan_rules.h"

#include <gtest/gtest.h>

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
    int control;
    int field;
};

constexpr Expect kPass{nullptr, nullptr, MessageIcon::Information, -1, -1};

void ExpectResult(const Expect& want, const LanCheckResult& got) {
    if (want.message == nullptr) {
        EXPECT_TRUE(got.ok) << "expected pass, got message: " << (got.message ? got.message : "(null)");
        EXPECT_EQ(got.message, nullptr);
        EXPECT_EQ(got.control, -1);
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
    int kind;
    int f[4];
    bool blank;
    Expect want;
};

constexpr MessageIcon kInfo = MessageIcon::Information;

const FieldCase kFieldCases[] = {
    {1, {192, 168, 0, 10}, false, kPass},
    {1, {1, 0, 0, 0}, false, kPass},
    {1, {223, 255, 255, 255}, false, kPass},
    {1, {0, 1, 2, 3}, false, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, 0, 0}},
    {1, {224, 0, 0, 5}, false, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, 0, 0}},
    {1, {10, 256, 0, 1}, false, {"Invalid IP address in 2nd digit. It should be 0-255.", "Error", kInfo, 0, 1}},
    {1, {10, 0, 300, 1}, false, {"Invalid IP address in 3rd digit. It should be 0-255.", "Error", kInfo, 0, 2}},
    {1, {10, 0, 0, 256}, false, {"Invalid IP address in 4th digit. It should be 0-255.", "Error", kInfo, 0, 3}},
    {1, {10, -1, 0, 1}, false, {"Invalid IP address in 2nd digit. It should be 0-255.", "Error", kInfo, 0, 1}},
    // The first bad field is reported, not a later one.
    {1, {0, 999, 999, 999}, false, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, 0, 0}},
    // The blank flag only excuses a gateway.
    {1, {0, 0, 0, 0}, true, {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, 0, 0}},
    {2, {0, 0, 0, 0}, false, kPass},
    {2, {255, 255, 255, 255}, false, kPass},
    {2, {256, 0, 0, 0}, false, {"Invalid subnet mask address in 1st digit. It should be 0-255.", "Error", kInfo, 1, 0}},
    {2, {255, 256, 0, 0}, false, {"Invalid subnet mask address in 2nd digit. It should be 0-255.", "Error", kInfo, 1, 1}},
    {2, {255, 255, 256, 0}, false, {"Invalid subnet mask address in 3rd digit. It should be 0-255.", "Error", kInfo, 1, 2}},
    {2, {255, 255, 255, 256}, false, {"Invalid subnet mask address in 4th digit. It should be 0-255.", "Error", kInfo, 1, 3}},
    {3, {0, 0, 0, 0}, true, kPass},
    {3, {0, 999, 0, 0}, true, kPass},
    {3, {192, 168, 0, 1}, false, kPass},
    {3, {0, 0, 0, 0}, false, {"Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", kInfo, 2, 0}},
    {3, {230, 0, 0, 1}, false, {"Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", kInfo, 2, 0}},
    {3, {10, 256, 0, 1}, false, {"Invalid gateway IP address in 2nd digit. It should be 0-255.", "Error", kInfo, 2, 1}},
    {3, {10, 0, 256, 1}, false, {"Invalid gateway IP address in 3rd digit. It should be 0-255.", "Error", kInfo, 2, 2}},
    {3, {10, 0, 0, 256}, false, {"Invalid gateway IP address in 4th digit. It should be 0-255.", "Error", kInfo, 2, 3}},
    {0, {0, 999, 999, 999}, false, kPass},
    {4, {0, 999, 999, 999}, false, kPass},
};

TEST(CheckAddressFieldsRule, FieldTable) {
    for (const FieldCase& c : kFieldCases) {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " fields " << c.f[0] << "." << c.f[1] << "."
                                          << c.f[2] << "." << c.f[3] << (c.blank ? " blank" : ""));
        ExpectResult(c.want, CheckAddressFieldsRule(c.kind, c.f, c.blank));
    }
}

TEST(CheckAddressFieldsRule, MissingFieldsReadAsZeros) {
    ExpectResult({"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, 0, 0},
                 CheckAddressFieldsRule(1, nullptr));
    ExpectResult(kPass, CheckAddressFieldsRule(3, nullptr, true));
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
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 0}, true},    // network address
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 255}, true},  // broadcast address
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {10, 0, 0, 1}, true},       // another subnet
    {{192, 168, 0, 10}, {255, 255, 255, 0}, {0, 0, 0, 0}, true},        // blank gateway
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
#define ANY {0, 0, 0, 0}
#define MASK24 {255, 255, 255, 0}
#define TCPIP_BAD {"You enter incorrect TCP/IP configuration. Please try again.", "Error", kHand, -1, -1}

const ValidateCase kValidateCases[] = {
    {"good static", false, {192, 168, 0, 10}, false, MASK24, false, {192, 168, 0, 1}, kPass},
    {"blank address first", true, ANY, true, ANY, true, ANY,
     {"Please input IP address!", "Warning", kWarn, 0, -1}},
    {"blank netmask", false, {192, 168, 0, 10}, true, ANY, false, {192, 168, 0, 1},
     {"Please input net mask address!", "Warning", kWarn, 1, -1}},
    {"loopback before field messages", false, {127, 0, 0, 1}, false, {255, 0, 255, 0}, false, {0, 0, 0, 0},
     {"IP address input error. Please try again.", "Warning", kWarn, 0, -1}},
    {"127 with a bad later field", false, {127, 999, 0, 1}, false, MASK24, false, {127, 0, 0, 2},
     {"IP address input error. Please try again.", "Warning", kWarn, 0, -1}},
    {"address 0.1.2.3", false, {0, 1, 2, 3}, false, MASK24, false, {192, 168, 0, 1},
     {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, 0, 0}},
    {"address 224.0.0.5", false, {224, 0, 0, 5}, false, MASK24, false, {192, 168, 0, 1},
     {"Invalid IP address in 1st digit. It should be 1-223.", "Error", kInfo, 0, 0}},
    {"netmask field before gateway field", false, {192, 168, 0, 10}, false, {255, 300, 0, 0}, false, {0, 0, 0, 9},
     {"Invalid subnet mask address in 2nd digit. It should be 0-255.", "Error", kInfo, 1, 1}},
    {"gateway field before netmask shape", false, {192, 168, 0, 10}, false, {255, 0, 255, 0}, false, {0, 1, 1, 1},
     {"Invalid gateway IP address in 1st digit. It should be 1-223.", "Error", kInfo, 2, 0}},
    {"netmask 255.0.255.0", false, {192, 168, 0, 10}, false, {255, 0, 255, 0}, false, {192, 168, 0, 1},
     {"Netmask address input invalid. Please try again.", "Error", kHand, 1, -1}},
    {"netmask 0.255.255.255", false, {192, 168, 0, 10}, false, {0, 255, 255, 255}, false, {192, 168, 0, 1},
     {"Netmask address input invalid. Please try again.", "Error", kHand, 1, -1}},
    // All ones passes the shape check; only the combination check refuses it.
    {"netmask 255.255.255.255", false, {192, 168, 0, 10}, false, {255, 255, 255, 255}, false, {192, 168, 0, 1},
     TCPIP_BAD},
    {"gateway is network", false, {192, 168, 0, 10}, false, MASK24, false, {192, 168, 0, 0}, TCPIP_BAD},
    {"gateway is broadcast", false, {192, 168, 0, 10}, false, MASK24, false, {192, 168, 0, 255}, TCPIP_BAD},
    {"gateway in another subnet", false, {192, 168, 0, 10}, false, MASK24, false, {10, 0, 0, 1}, TCPIP_BAD},
    {"blank gateway outside link-local", false, {192, 168, 0, 10}, false, MASK24, true, ANY, TCPIP_BAD},
    // A blank gateway reads as zeros even when the array holds a good gateway.
    {"blank gateway ignores its array", false, {192, 168, 0, 10}, false, MASK24, true, {192, 168, 0, 1},
     TCPIP_BAD},
    {"link-local with blank gateway", false, {169, 254, 1, 2}, false, {255, 255, 0, 0}, true, ANY, kPass},
    {"link-local skips gateway fields", false, {169, 254, 1, 2}, false, {255, 255, 0, 0}, false, {0, 0, 0, 0},
     kPass},
    {"link-local still checks netmask", false, {169, 254, 1, 2}, false, {255, 0, 255, 0}, true, ANY,
     {"Netmask address input invalid. Please try again.", "Error", kHand, 1, -1}},
    {"169.253 is not link-local", false, {169, 253, 1, 2}, false, {255, 255, 0, 0}, true, ANY, TCPIP_BAD},
};

TEST(ValidateStaticSettings, WindowOrderTable) {
    for (const ValidateCase& c : kValidateCases) {
        SCOPED_TRACE(c.name);
        ExpectResult(c.want, ValidateStaticSettings(c.addressBlank, c.a, c.netmaskBlank, c.m, c.gatewayBlank, c.g));
    }
}

}  // namespace
