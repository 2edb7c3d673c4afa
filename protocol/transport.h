// Local interfaces, per-interface sockets, the client identity and the
// request/reply exchange on which every device command is built.
#pragma once
#include <cstddef>
#include <cstdint>
#include "address_text.h"  // ParseAddressText
#include "packet.h"
#include "socket_layer.h"

struct LocalInterfaceTableRecord {
  int count;
  char address[kMaxInterfaces][kAddressText];
  SocketHandle sendSocket[kMaxInterfaces];
  SocketHandle receiveSocket[kMaxInterfaces];
};
extern LocalInterfaceTableRecord LocalInterfaceTable;

// Bytes 0..5 random, 6..9 zero; fills request bytes 1..10.
extern uint8_t ClientId[10];

// Starts the socket library, fills LocalInterfaceTable, makes ClientId and
// opens the sockets. Returns false when the socket library cannot start;
// the program then ends with exit code 1 (OpenTransportOrExit).
bool OpenTransport();
void OpenTransportOrExit();
void CloseTransport();

bool IsOwnReply(const uint8_t* reply);
// "%d.%d.%d.%d" of reply bytes 17..20 into out (16 bytes).
void FormatDeviceAddress(const uint8_t* reply, char out[kAddressText]);
void SendPacket(int interfaceIndex, const uint8_t* packet, size_t length);
// The reply wait of the exchange; expectedAddress nullptr means any address.
// reply must hold kPacketBuffer + 1 bytes; the bytes after the datagram are
// zero. A datagram of another type and a failed receive are skipped
// without cost and without a pause; a poll with nothing readable or a
// failed readiness wait, a reply shorter than the 24-byte header, another
// client's id or another device's address costs a try. At most tryLimit + 1
// counted polls with tryLimit pauses of kReplyPauseMs between them.
// Skipping is bounded by time, not by count: once the wait has lasted twice
// as long as an unanswered one (ReplyWaitMs), a skipped datagram ends it as
// failed. So a flood of other hosts' traffic is read as fast as it comes,
// leaving the device's reply room in the queue, and still cannot hold the
// wait for ever; and pauses that last longer than asked (Windows' Sleep
// rounds up to its timer tick) never let one stray datagram end a wait
// whose tries are not used up.
bool AwaitReply(int interfaceIndex, uint8_t expectedType, const char* expectedAddress,
                int tryLimit, uint8_t* reply);
void DrainReceiveSocket(int interfaceIndex, int pollCount);

// Pause between two counted polls of AwaitReply.
constexpr int kReplyPauseMs = 100;
// How long AwaitReply waits when nothing answers: tryLimit + 1 polls of
// kPollWaitMs with tryLimit pauses between them.
constexpr int64_t ReplyWaitMs(int tryLimit) { return int64_t(tryLimit + 1) * kPollWaitMs + int64_t(tryLimit) * kReplyPauseMs; }

// Diagnostic trace lines ("key=value\n") for the process console.
void Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Replaces where trace lines go (tests); nullptr restores stdout.
using TraceSink = void (*)(const char* line);
void SetTraceSink(TraceSink sink);
