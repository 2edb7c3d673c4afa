// The rules that LAN settings must pass before they are sent to a device.
// Portable: the main window and the command-line client share them.
#pragma once

enum class MessageIcon { Hand, Exclamation, Information };

// Outcome of a check. When ok, message and caption are nullptr and control
// and field are -1. Otherwise message/caption/icon are the message box to
// show; control names the input the message is about (or -1 for the
// combination check) and field is set (0..3) only for the twelve field
// messages, whose window moves the focus to that field.
struct LanCheckResult {
    bool ok;
    const char* message;  // nullptr when ok
    const char* caption;  // "Error" or "Warning"
    MessageIcon icon;
    int control;          // 0 address, 1 netmask, 2 gateway; -1 when no field is to blame
    int field;            // 0..3 within that control, -1 when none
};

// Field rule of one address control: kind 1 address, 2 netmask, 3 gateway.
// A blank gateway is accepted at once. Kinds other than 1..3 pass.
// Every field must lie in 0..255; the first field of an address or gateway
// in 1..223. A null f reads as four zeros.
LanCheckResult CheckAddressFieldsRule(int kind, const int f[4], bool blank = false);

// True when the 32 mask bits are ones followed by zeros and m1 is not 0
// (255.255.255.255 is valid). A field outside 0..255 makes it false.
bool IsContiguousNetmask(int m1, int m2, int m3, int m4);

// True when the combination is wrong: the gateway is the network address,
// the broadcast address, or outside the address's subnet. Any 169.254.x.x
// address is accepted (false).
bool IsBadTcpIpConfig(const int a[4], const int m[4], const int g[4]);

// The whole static-address check in the window's order: blank address,
// blank netmask, 127.x, address fields, netmask fields, gateway fields
// (skipped for 169.254.x.x), contiguous netmask, TCP/IP combination.
// A blank gateway reads as 0.0.0.0 whatever g holds.
LanCheckResult ValidateStaticSettings(bool addressBlank, const int a[4], bool netmaskBlank,
                                      const int m[4], bool gatewayBlank, const int g[4]);
