#include "transport.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "clock.h"
#include "text_copy.h"

LocalInterfaceTableRecord LocalInterfaceTable = {0, {}, {kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket}, {kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket, kNoSocket}};
uint8_t ClientId[10];

namespace {

bool transportOpen = false;
TraceSink traceSink = nullptr;

bool ValidInterface(int i) { return i >= 0 && i < LocalInterfaceTable.count && i < kMaxInterfaces; }

// How long skipped datagrams may hold a reply wait. Twice the unanswered
// wait: its counted polls and pauses run long on a real clock (Sleep(100)
// lasts about 109 ms at Windows' default 15.6 ms tick, so 300 tries take
// longer than their nominal 33 s), and a bound of once would let a single
// datagram of another type end a wait with tries left.
constexpr int64_t SkippedTrafficBoundMs(int tryLimit) { return 2 * ReplyWaitMs(tryLimit); }

}  // namespace

bool OpenTransport() {
  SocketLayer& sockets = ActiveSocketLayer();
  if (transportOpen) CloseTransport();
  if (!sockets.Startup()) return false;
  transportOpen = true;

  LocalInterfaceTableRecord& t = LocalInterfaceTable;
  std::memset(t.address, 0, sizeof t.address);
  t.count = 0;
  for (int i = 0; i < kMaxInterfaces; ++i) {
    t.sendSocket[i] = kNoSocket;
    t.receiveSocket[i] = kNoSocket;
  }
  // An unresolvable host name gives an empty list: the table stays empty
  // and discovery finds nothing.
  for (const std::string& a : sockets.HostAddresses()) {
    if (t.count == kMaxInterfaces) break;
    CopyTextField(t.address[t.count], a.c_str());
    ++t.count;
  }

  std::srand(static_cast<unsigned>(std::time(nullptr)));
  for (int i = 0; i < 6; ++i) ClientId[i] = static_cast<uint8_t>(std::rand() & 0xff);
  std::memset(ClientId + 6, 0, 4);

  // Failures here are not reported: a socket that could not be made or
  // set up shows as a device that never answers.
  for (int i = 0; i < t.count; ++i) t.sendSocket[i] = sockets.OpenSendSocket();
  for (int i = 0; i < t.count; ++i)
    t.receiveSocket[i] = sockets.OpenReceiveSocket(t.address[i], kProtocolPort, kProtocolGroup);
  return true;
}

void OpenTransportOrExit() {
  if (!OpenTransport()) std::exit(1);
}

void CloseTransport() {
  if (!transportOpen) return;  // Exit and WM_CLOSE may both close it
  SocketLayer& sockets = ActiveSocketLayer();
  LocalInterfaceTableRecord& t = LocalInterfaceTable;
  for (int i = 0; i < kMaxInterfaces; ++i) {
    if (t.sendSocket[i] != kNoSocket) sockets.Close(t.sendSocket[i]);
    t.sendSocket[i] = kNoSocket;
  }
  for (int i = 0; i < kMaxInterfaces; ++i) {
    if (t.receiveSocket[i] != kNoSocket) sockets.Close(t.receiveSocket[i]);
    t.receiveSocket[i] = kNoSocket;
  }
  t.count = 0;
  sockets.Cleanup();
  transportOpen = false;
}

bool IsOwnReply(const uint8_t* reply) {
  return std::memcmp(reply + ProtocolPacket::kClientId, ClientId, 6) == 0;
}

void FormatDeviceAddress(const uint8_t* reply, char out[kAddressText]) {
  const uint8_t* a = reply + ProtocolPacket::kDeviceAddress;
  std::snprintf(out, kAddressText, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
}

void SendPacket(int interfaceIndex, const uint8_t* packet, size_t length) {
  if (!ValidInterface(interfaceIndex)) return;
  if (length > kPacketBuffer) length = kPacketBuffer;
  ActiveSocketLayer().SendTo(LocalInterfaceTable.sendSocket[interfaceIndex],
                             LocalInterfaceTable.address[interfaceIndex], kProtocolGroup, kProtocolPort,
                             packet, length);
}

bool AwaitReply(int interfaceIndex, uint8_t expectedType, const char* expectedAddress,
                int tryLimit, uint8_t* reply) {
  if (!ValidInterface(interfaceIndex)) return false;
  SocketLayer& sockets = ActiveSocketLayer();
  const SocketHandle s = LocalInterfaceTable.receiveSocket[interfaceIndex];
  int tries = 0;
  const int64_t deadline = ActiveClock().NowMs() + SkippedTrafficBoundMs(tryLimit);
  for (;;) {
    bool matched = false;
    bool counted = true;
    if (sockets.WaitReadable(s, kPollWaitMs) > 0) {
      const int n = sockets.Receive(s, reply, kPacketBuffer);
      if (n < 0 || size_t(n) > kPacketBuffer) {
        // A failed receive (a datagram too large for the buffer among
        // them) is skipped at once, like other hosts' traffic.
        counted = false;
      } else {
        // Terminate after the last byte and clear what an earlier
        // datagram left behind, so that nothing past the received
        // bytes is read as part of this one.
        std::memset(reply + n, 0, kPacketBuffer + 1 - size_t(n));
        if (reply[ProtocolPacket::kType] != expectedType) {
          counted = false;
        } else if (size_t(n) >= ProtocolPacket::kHeaderLength && IsOwnReply(reply)) {
          // The right type from this instance: it matches unless
          // the command wants a particular device and another
          // one answered. A datagram too short for the header or
          // with another client's id is a failed poll.
          if (expectedAddress) {
            char from[kAddressText];
            FormatDeviceAddress(reply, from);
            matched = std::strcmp(from, expectedAddress) == 0;
          } else {
            matched = true;
          }
        }
      }
      // What is skipped for free is bounded by time: a flood, or a
      // receive that keeps failing, cannot hold the wait longer than
      // twice an unanswered exchange.
      if (!counted && ActiveClock().NowMs() >= deadline) return false;
    }
    if (matched) return true;
    if (!counted) continue;
    ++tries;
    if (tries > tryLimit) return false;
    PauseMs(kReplyPauseMs);
  }
}

void DrainReceiveSocket(int interfaceIndex, int pollCount) {
  if (!ValidInterface(interfaceIndex)) return;
  SocketLayer& sockets = ActiveSocketLayer();
  const SocketHandle s = LocalInterfaceTable.receiveSocket[interfaceIndex];
  uint8_t scratch[kPacketBuffer + 1];
  for (int i = 0; i < pollCount; ++i) {
    if (sockets.WaitReadable(s, kPollWaitMs) > 0) sockets.Receive(s, scratch, kPacketBuffer);
  }
}

void Trace(const char* format, ...) {  // NOLINT(cert-dcl50-cpp): printf-style on purpose; the format attribute in transport.h has the compiler check every call
  // Reply texts are at most a packet long; longer lines are cut.
  static char line[kPacketBuffer + 256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (traceSink) {
    traceSink(line);
  } else {
    std::fputs(line, stdout);
    std::fflush(stdout);
  }
}

void SetTraceSink(TraceSink sink) { traceSink = sink; }
