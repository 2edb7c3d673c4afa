// A LAN settings change, shared by the main window and the command-line
// client: staging of the edited values into the LAN configuration record,
// the rules the values must pass (with the messages that refuse them), the
// administrator check, and the messages of the DHCP change. Portable.
#pragma once
#include <functional>

#include "commands.h"

enum class MessageIcon { Hand,
                         Exclamation,
                         Information };

// The three address inputs of a change; the numbers are the kinds of the
// field check. None: no input is to blame.
enum class AddressField { None = 0,
                          Address = 1,
                          Netmask = 2,
                          Gateway = 3 };

// One message box: text, caption and icon.
struct LanMessage {
  const char* text;
  const char* caption;
  MessageIcon icon;
};

// Messages of the change that no check below returns.
extern const LanMessage kNoDeviceSelectedMessage;  // apply without a clicked device
extern const LanMessage kDhcpFailedMessage;  // SetDhcpClient unanswered
extern const LanMessage kDhcpEnabledMessage;  // SetDhcpClient acknowledged
extern const LanMessage kWrongAdminPasswordMessage;  // the administrator check refused

// Outcome of a check. When ok, message and caption are nullptr, control is
// None and field -1. Otherwise message/caption/icon are the message box to
// show; control names the input the message is about (None for the
// combination check and the administrator check) and field is set (0..3)
// only for the twelve field messages, whose window moves the focus to that
// field.
struct LanCheckResult {
  bool ok;
  const char* message;  // nullptr when ok
  const char* caption;  // "Error" or "Warning"
  MessageIcon icon;
  AddressField control;
  int field;  // 0..3 within that control, -1 when none
};

// Field rule of one address input. A blank gateway is accepted at once.
// Kinds other than Address, Netmask and Gateway pass. Every field must lie
// in 0..255; the first field of an address or gateway in 1..223. A null f
// reads as four zeros.
LanCheckResult CheckAddressFieldsRule(AddressField kind, const int f[4], bool blank = false);

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
// With buffers, the values to send are filled as the check goes, from the
// first half of buffers->lanConfig (which holds the staged values of a
// single-port device and of LAN1): targetIp once the address fields
// passed, netmask once the netmask fields passed, and on success gateway,
// which is empty when the gateway reads 0.0.0.0.
LanCheckResult ValidateStaticSettings(bool addressBlank, const int a[4], bool netmaskBlank,
                                      const int m[4], bool gatewayBlank, const int g[4],
                                      CommandBuffersRecord* buffers = nullptr);

// The edited values of one LAN port: the three address inputs (a blank
// input reads as four zeros) and the DHCP choice.
struct LanPortValues {
  int address[4];
  int netmask[4];
  int gateway[4];
  bool dhcp;
};

// The half of the record a port name stands for: 1 for exactly "LAN2", 0
// for anything else (a null or empty name too).
int LanPortHalf(const char* portName);

// True when the record carries a second port: its first port is named
// exactly "LAN1" (within the name's 10 bytes).
bool HasSecondLanPort(const LanConfig& config);

// The port a clicked device shows first: "LAN2" when the record is present,
// its first port is "LAN1" and deviceAddress is not the first port's
// address; "LAN1" otherwise.
const char* DefaultLanPort(const LanConfig& config, const char* deviceAddress);

// Writes the port's mode ("1" DHCP client, "0" static address).
void StageLanPortMode(LanConfig& config, const char* portName, bool dhcp);

// Writes the port's address, netmask and gateway as "%d.%d.%d.%d" and its
// mode; the names are never written.
void StageLanPortSettings(LanConfig& config, const char* portName, const LanPortValues& values);

// The administrator check before a change is sent: user "admin" with an
// empty password, silently; when the device refuses (or does not answer),
// askCredentials fills adminUser and adminPassword (the login dialog, the
// client's --password) and the device is asked once more. Fails with
// "Wrong administrator password input!".
LanCheckResult ConfirmAdministrator(const std::function<void()>& askCredentials);
