// Opening and closing the transport, sending, and the counting rules of
// the reply wait.
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "fakes.h"

namespace {

class TransportTest : public ProtocolTest {};

TEST_F(TransportTest, MoreThanEightHostAddressesUseTheFirstEight) {
  std::vector<std::string> ten;
  for (int i = 1; i <= 10; ++i) ten.push_back("10.0." + std::to_string(i) + ".1");
  sockets.hostAddresses = ten;
  ASSERT_TRUE(OpenTransport());
  ASSERT_EQ(LocalInterfaceTable.count, 8);
  int sends = 0, receives = 0;
  for (int i = 0; i < 8; ++i) EXPECT_STREQ(LocalInterfaceTable.address[i], ten[i].c_str()) << "slot " << i;
  for (const auto& o : sockets.opened) (o.receive ? receives : sends)++;
  EXPECT_EQ(sends, 8);
  EXPECT_EQ(receives, 8);
}

TEST_F(TransportTest, OneAddressGivesOneSendAndOneReceiveSocket) {
  sockets.hostAddresses = {"192.168.0.10"};
  ASSERT_TRUE(OpenTransport());
  ASSERT_EQ(LocalInterfaceTable.count, 1);
  ASSERT_EQ(sockets.opened.size(), 2u);
  EXPECT_FALSE(sockets.opened[0].receive);  // send sockets first
  EXPECT_TRUE(sockets.opened[1].receive);
  EXPECT_EQ(sockets.opened[1].address, "192.168.0.10");
  EXPECT_EQ(sockets.opened[1].port, 13579);
  EXPECT_EQ(sockets.opened[1].group, "224.0.0.1");
  EXPECT_EQ(LocalInterfaceTable.sendSocket[0], sockets.opened[0].handle);
  EXPECT_EQ(LocalInterfaceTable.receiveSocket[0], sockets.opened[1].handle);
}

TEST_F(TransportTest, NoResolvableAddressLeavesAnEmptyTable) {
  sockets.hostAddresses = {};
  ASSERT_TRUE(OpenTransport());
  EXPECT_EQ(LocalInterfaceTable.count, 0);
  EXPECT_TRUE(sockets.opened.empty());
  DiscoverDevices(3, 3);
  EXPECT_TRUE(sockets.sent.empty());
  EXPECT_TRUE(IsDeviceListEmpty());
}

TEST_F(TransportTest, StartupFailureOpensNothing) {
  sockets.startupResult = false;
  sockets.hostAddresses = {"192.168.0.10"};
  EXPECT_FALSE(OpenTransport());
  EXPECT_TRUE(sockets.opened.empty());
}

TEST_F(TransportTest, StartupFailureEndsTheProcessWithCodeOne) {
  sockets.startupResult = false;
  EXPECT_EXIT(OpenTransportOrExit(), ::testing::ExitedWithCode(1), "");
}

TEST_F(TransportTest, ClientIdIsSixTimeSeededRandomBytesThenFourZeros) {
  sockets.hostAddresses = {"192.168.0.10"};
  const time_t before = std::time(nullptr);
  ASSERT_TRUE(OpenTransport());
  const time_t after = std::time(nullptr);
  const Bytes got(ClientId, ClientId + 10);
  bool matched = false;
  std::string candidates;
  for (time_t t = before; t <= after; ++t) {
    std::srand(unsigned(t));
    Bytes expected(10, 0);
    for (int i = 0; i < 6; ++i) expected[i] = uint8_t(std::rand() & 0xff);
    matched = matched || expected == got;
    candidates += Hex(expected) + "| ";
  }
  EXPECT_TRUE(matched) << "expected one of " << candidates << "got " << Hex(got);
}

TEST_F(TransportTest, CloseClosesEverySocketOnceAndShutsTheLibraryDown) {
  sockets.hostAddresses = {"10.0.0.1", "10.0.1.1", "10.0.2.1"};
  ASSERT_TRUE(OpenTransport());
  CloseTransport();
  CloseTransport();  // Exit and WM_CLOSE may both close
  EXPECT_EQ(sockets.closed.size(), 6u);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_EQ(LocalInterfaceTable.count, 0);
}

TEST_F(TransportTest, SendGoesToTheGroupThroughTheInterface) {
  Open({"10.0.0.1", "10.0.1.1"});
  const uint8_t data[3] = {1, 2, 3};
  SendPacket(1, data, 3);
  ASSERT_EQ(sockets.sent.size(), 1u);
  const auto& s = sockets.sent[0];
  EXPECT_EQ(s.socket, LocalInterfaceTable.sendSocket[1]);
  EXPECT_EQ(s.interfaceAddress, "10.0.1.1");
  EXPECT_EQ(s.group, "224.0.0.1");
  EXPECT_EQ(s.port, 13579);
  EXPECT_EQ(Hex(s.bytes), "01 02 03 ");
}

TEST_F(TransportTest, OutOfRangeInterfaceSendsAndWaitsNothing) {
  Open({"10.0.0.1"});
  const uint8_t data[1] = {1};
  uint8_t reply[kPacketBuffer + 1];
  SendPacket(1, data, 1);
  SendPacket(-1, data, 1);
  EXPECT_FALSE(AwaitReply(3, kQueryReply, nullptr, 10, reply));
  EXPECT_TRUE(sockets.sent.empty());
  EXPECT_TRUE(sockets.waits.empty());
}

// The wait's counting rules: what costs a try, what pauses.
class AwaitReplyTest : public ProtocolTest {
protected:
  void SetUp() override {
    ProtocolTest::SetUp();
    Open({"192.168.0.10"});
  }
  bool Await(int limit, const char* address = "192.168.0.32") {
    return AwaitReply(0, kQueryReply, address, limit, reply);
  }
  std::vector<int> Pauses(size_t n, int ms) { return std::vector<int>(n, ms); }
  uint8_t reply[kPacketBuffer + 1];
};

// The transport reopened on a socket layer of its own for one case, so that
// what the case leaves queued (an endless stream among them) reaches no
// other; the fixture's layer is back when it ends.
class OwnSockets {
public:
  OwnSockets(FakeClock& clock, FakeSocketLayer& fixture) : layer(&clock), m_fixture(fixture) {
    layer.hostAddresses = {"192.168.0.10"};
    SetSocketLayer(&layer);
    CloseTransport();
    if (!OpenTransport()) ADD_FAILURE() << "the transport did not open";
    std::memcpy(ClientId, kExampleClientId, sizeof ClientId);
  }
  ~OwnSockets() {
    CloseTransport();
    SetSocketLayer(&m_fixture);
  }
  OwnSockets(const OwnSockets&) = delete;
  OwnSockets& operator=(const OwnSockets&) = delete;
  FakeSocketLayer layer;

private:
  FakeSocketLayer& m_fixture;
};

TEST_F(AwaitReplyTest, SilenceMakesLimitPlusOnePollsWithLimitPauses) {
  for (int limit : {10, 20, 100, 300}) {
    sockets.waits.clear();
    clock.pauses.clear();
    EXPECT_FALSE(Await(limit));
    EXPECT_EQ(sockets.waits.size(), size_t(limit + 1)) << "limit " << limit;
    EXPECT_EQ(clock.pauses, Pauses(limit, 100)) << "limit " << limit;
    for (const auto& w : sockets.waits) ASSERT_EQ(w.timeoutMs, 10);
  }
}

TEST_F(AwaitReplyTest, ForeignTypesCostNothingAndDoNotPause) {
  for (int k = 0; k < 40; ++k) sockets.Queue(0, Header(kSetReply, "192.168.0.32"));
  sockets.Queue(0, Header(kDiscoverRequest, "0.0.0.0"));
  sockets.Queue(0, QueryReply("192.168.0.32", "ok"));
  EXPECT_TRUE(Await(0));  // with limit 0 a single counted failure would end it
  EXPECT_TRUE(clock.pauses.empty()) << "pauses: " << clock.pauses.size();
  EXPECT_STREQ(reinterpret_cast<char*>(reply + 28), "ok");
}

TEST_F(AwaitReplyTest, ForeignClientIdOrAddressCostsATry) {
  const uint8_t other[6] = {1, 2, 3, 4, 5, 6};
  struct Case {
    const char* what;
    Bytes first;
  } cases[] = {
      {"foreign client id", QueryReply("192.168.0.32", "x", other)},
      {"other device", QueryReply("192.168.0.33", "x")},
      {"shorter than the header", Bytes{kQueryReply, 0x3A, 0x7F, 0x01, 0xC2, 0x55, 0xE0}},
  };
  for (const Case& c : cases) {
    clock.pauses.clear();
    sockets.Queue(0, c.first);
    sockets.Queue(0, QueryReply("192.168.0.32", "ok"));
    EXPECT_TRUE(Await(1)) << c.what;
    EXPECT_EQ(clock.pauses, Pauses(1, 100)) << c.what;

    clock.pauses.clear();
    sockets.Queue(0, c.first);
    sockets.Queue(0, QueryReply("192.168.0.32", "ok"));
    EXPECT_FALSE(Await(0)) << c.what << ": limit 0 allows no failed poll";
    while (sockets.Pending(0)) sockets.Receive(LocalInterfaceTable.receiveSocket[0], reply, kPacketBuffer);
  }
}

TEST_F(AwaitReplyTest, WithoutAddressCheckAnyDeviceMatches) {
  sockets.Queue(0, QueryReply("10.9.9.9", "ok"));
  EXPECT_TRUE(Await(0, nullptr));
}

TEST_F(AwaitReplyTest, ReplyOfFullBufferSizeIsTerminatedAfterItsLastByte) {
  Bytes big = QueryReply("192.168.0.32", "");
  big.resize(kPacketBuffer, 'A');
  sockets.Queue(0, big);
  std::memset(reply, 0xFF, sizeof reply);
  ASSERT_TRUE(Await(0));
  EXPECT_EQ(reply[kPacketBuffer - 1], 'A');
  EXPECT_EQ(reply[kPacketBuffer], 0);
}

TEST_F(AwaitReplyTest, BytesOfAnEarlierLongerDatagramAreNotRead) {
  Bytes longer = QueryReply("192.168.0.32", "stale-text");
  longer[0] = kSetReply;  // skipped, but it went through the buffer
  sockets.Queue(0, longer);
  Bytes shortReply = Header(kQueryReply, "192.168.0.32");  // no data at all
  sockets.Queue(0, shortReply);
  ASSERT_TRUE(Await(0));
  EXPECT_STREQ(reinterpret_cast<char*>(reply + 28), "");
}

TEST_F(AwaitReplyTest, ReadinessWaitThatKeepsFailingCostsATryEachTime) {
  sockets.QueueForever(0, SocketEvent::kWaitError);
  EXPECT_FALSE(Await(20));
  EXPECT_EQ(clock.pauses, Pauses(20, 100));
}

// Other hosts' traffic and failed receives (a datagram too large for the
// buffer among them) are read as fast as they come, without tries or
// pauses, and the reply behind them is found however many came first; a
// stream of them that never ends ends the wait once it has lasted twice as
// long as an unanswered one would.
TEST_F(AwaitReplyTest, SkippedDatagramsAreFreeUntilTheWaitHasLastedTwiceItsLength) {
  const struct {
    const char* what;
    SocketEvent::Kind kind;
    Bytes datagram;
  } cases[] = {
      {"another type", SocketEvent::kDatagram, Header(kSetReply, "192.168.0.32")},
      {"an empty datagram", SocketEvent::kDatagram, {}},
      {"a failed receive", SocketEvent::kReceiveError, {}},
      {"a datagram too large", SocketEvent::kDatagram, Bytes(kPacketBuffer + 1, kQueryReply)},
  };
  for (const auto& c : cases) {
    for (int limit : {0, 20, 300}) {
      OwnSockets own(clock, sockets);
      FakeSocketLayer& fresh = own.layer;
      fresh.QueueTimes(0, 5000, c.kind, c.datagram);
      fresh.Queue(0, QueryReply("192.168.0.32", "ok"));
      clock.pauses.clear();
      EXPECT_TRUE(Await(limit)) << c.what << ", limit " << limit << ": the reply behind 5000 of them";
      EXPECT_TRUE(clock.pauses.empty()) << c.what << ", limit " << limit;

      // A receive takes time; 1 ms each lets the endless stream end.
      fresh.receiveCostMs = 1;
      fresh.QueueForever(0, c.kind, c.datagram);
      const int64_t start = clock.now;
      EXPECT_FALSE(Await(limit)) << c.what << ", limit " << limit;
      EXPECT_TRUE(clock.pauses.empty()) << c.what << ", limit " << limit;
      EXPECT_EQ(2 * ReplyWaitMs(limit), clock.now - start) << c.what << ", limit " << limit << ": twice the wait of an unanswered exchange";
    }
  }
}

// Windows' Sleep(100) lasts about 109 ms at the default 15.6 ms timer tick,
// so a 300-try wait takes longer than its nominal time. A datagram of another
// type that comes late in it is skipped like any other: the wait goes on to
// the reply behind it or to its last counted poll, and only a stream that
// never ends ends it, at twice its nominal time.
TEST_F(AwaitReplyTest, PausesThatLastLongerLetNoLateDatagramEndTheWaitEarly) {
  clock.pauseOverrunPercent = 10;
  const int limit = 300;
  enum Then { kReply,
              kSilence,
              kEndless };
  const struct {
    const char* what;
    int silentPolls;  // counted polls before the other datagram
    Then then;
  } cases[] = {
      {"after 280 silent polls, the reply behind it", 280, kReply},
      {"after the 300th silent poll, the reply behind it", limit, kReply},
      {"after 280 silent polls, silence", 280, kSilence},
      {"after the 300th silent poll, silence", limit, kSilence},
      {"after 280 silent polls, a stream that never ends", 280, kEndless},
  };
  for (const auto& c : cases) {
    OwnSockets own(clock, sockets);
    own.layer.QueueSilence(0, c.silentPolls);
    const Bytes other = Header(kSetReply, "192.168.0.32");
    if (c.then == kEndless) {
      own.layer.receiveCostMs = 1;
      own.layer.QueueForever(0, SocketEvent::kDatagram, other);
    } else {
      own.layer.Queue(0, other);
      if (c.then == kReply) own.layer.Queue(0, QueryReply("192.168.0.32", "ok"));
    }
    clock.pauses.clear();
    const int64_t start = clock.now;
    EXPECT_EQ(c.then == kReply, Await(limit)) << c.what;
    // Counted polls: the silent ones, then to the limit when no reply comes;
    // the other datagram's wait, and the reply's, on top.
    const int counted = c.then == kSilence ? limit + 1 : c.silentPolls;
    const size_t uncounted = c.then == kReply ? 2 : 1;
    const size_t pauses = c.then == kSilence ? limit : c.silentPolls;
    EXPECT_EQ(clock.pauses.size(), pauses) << c.what << ": pauses";
    EXPECT_EQ(clock.pauses, Pauses(clock.pauses.size(), 100)) << c.what;
    if (c.then != kEndless)
      EXPECT_EQ(own.layer.waits.size(), size_t(counted) + uncounted) << c.what;
    else
      EXPECT_EQ(2 * ReplyWaitMs(limit), clock.now - start) << c.what << ": twice the wait of an unanswered exchange";
  }
}

TEST_F(AwaitReplyTest, DrainReadsAtMostPollCountDatagramsWithoutPausing) {
  for (int k = 0; k < 15; ++k) sockets.Queue(0, QueryReply("192.168.0.32", "stale"));
  DrainReceiveSocket(0, 11);
  EXPECT_EQ(sockets.waits.size(), 11u);
  EXPECT_EQ(sockets.Pending(0), 4u);
  EXPECT_TRUE(clock.pauses.empty());

  sockets.waits.clear();
  DrainReceiveSocket(0, 6);  // 4 left, then 2 empty polls
  EXPECT_EQ(sockets.waits.size(), 6u);
  EXPECT_EQ(sockets.Pending(0), 0u);
}

}  // namespace
