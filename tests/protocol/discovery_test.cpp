// Discovery: timing of the listening cycles, which replies become records
// and what the records hold.
#include <cstring>

#include "fakes.h"

namespace {

class DiscoveryTest : public ProtocolTest {
protected:
  std::vector<NasDevice*> Records() {
    std::vector<NasDevice*> out;
    for (NasDevice* d = DeviceList.head; d; d = d->next) out.push_back(d);
    return out;
  }
  // Queues replies for interface i as soon as its request goes out.
  void AnswerOn(int i, std::vector<Bytes> replies) {
    answers_[i] = std::move(replies);
    sockets.onSend = [this](int via, const Bytes&) {
      for (const Bytes& r : answers_[via]) sockets.Queue(via, r);
    };
  }
  std::map<int, std::vector<Bytes>> answers_;
};

TEST_F(DiscoveryTest, EachInterfaceGetsOneRequestAndThePausePattern) {
  Open({"10.0.0.1", "10.0.1.1"});
  DiscoverDevices(3, 3);
  ASSERT_EQ(sockets.sent.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(sockets.sent[i].socket, LocalInterfaceTable.sendSocket[i]);
    EXPECT_EQ(Hex(sockets.sent[i].bytes), "01 3a 7f 01 c2 55 e0 00 00 00 00 ");
  }
  std::vector<int> expected;
  for (int i = 0; i < 2; ++i) {
    expected.push_back(50);
    expected.insert(expected.end(), 31, 20);
  }
  EXPECT_EQ(clock.pauses, expected);
  ASSERT_EQ(sockets.waits.size(), 64u);
  for (size_t k = 0; k < 64; ++k) {
    EXPECT_EQ(sockets.waits[k].socket, LocalInterfaceTable.receiveSocket[k / 32]) << "wait " << k;
    EXPECT_EQ(sockets.waits[k].sentBefore, k / 32 + 1) << "wait " << k << " before its send";
  }
}

TEST_F(DiscoveryTest, ReplyBecomesARecordWithEveryField) {
  Open({"10.0.0.1", "192.168.0.10"});
  DiscoveryReplyFields s;
  s.type = kDiscoverReplyModel;
  s.name = "Office NAS";
  s.dhcpFlag = '1';
  s.model = "KX-7200";
  AnswerOn(1, {DiscoveryReply(s)});
  DiscoverDevices(3, 3);
  ASSERT_EQ(DeviceList.count, 1);
  const NasDevice& d = *DeviceList.head;
  EXPECT_STREQ(d.name, "Office NAS");
  EXPECT_STREQ(d.ipText, "192.168.0.32");
  EXPECT_STREQ(d.netmask, "255.255.255.0");
  EXPECT_STREQ(d.gateway, "192.168.0.1");
  EXPECT_STREQ(d.dhcpFlag, "1");
  EXPECT_EQ(Hex(Bytes(d.mac, d.mac + 6)), "00 11 22 33 44 55 ");
  EXPECT_EQ(Hex(Bytes(d.ipBytes, d.ipBytes + 4)), "c0 a8 00 20 ");
  EXPECT_STREQ(d.model, "KX-7200");
  EXPECT_EQ(d.interfaceIndex, 1);
  EXPECT_EQ(DeviceList.head, DeviceList.tail);
}

TEST_F(DiscoveryTest, FirstReplyPerAddressWinsAcrossInterfacesAndTypes) {
  Open({"10.0.0.1", "10.0.1.1"});
  DiscoveryReplyFields first, again, other, onSecond;
  first.name = "first";
  again.type = kDiscoverReplyModel;
  again.name = "duplicate";
  again.model = "KX-7200";
  other.ip = "192.168.0.40";
  other.name = "other";
  onSecond.name = "via second interface";
  AnswerOn(0, {DiscoveryReply(first), DiscoveryReply(again), DiscoveryReply(other)});
  AnswerOn(1, {DiscoveryReply(onSecond)});
  DiscoverDevices(3, 3);
  auto r = Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_STREQ(r[0]->name, "first");
  EXPECT_STREQ(r[0]->model, "");
  EXPECT_EQ(r[0]->interfaceIndex, 0);
  EXPECT_STREQ(r[1]->name, "other");
  EXPECT_EQ(DeviceList.tail, r[1]);
}

TEST_F(DiscoveryTest, ClassFilter) {
  struct Case {
    unsigned filterClass, filterSubclass;
    uint8_t type, deviceClass, deviceSubclass;
    bool accepted;
  } cases[] = {
      {3, 3, kDiscoverReplyClassed, 3, 3, true},
      {3, 3, kDiscoverReplyClassed, 3, 5, false},
      {3, 3, kDiscoverReplyModel, 3, 5, false},
      {3, 3, kDiscoverReplyModel, 4, 3, false},
      {3, 3, kDiscoverReply, 9, 9, true},  // no class in this layout
      {0, 0, kDiscoverReplyClassed, 9, 7, true},
      {0, 0, kDiscoverReplyModel, 200, 1, true},
      {3, 0, kDiscoverReplyClassed, 3, 8, true},
      {0, 3, kDiscoverReplyClassed, 8, 4, false},
  };
  Open({"10.0.0.1"});
  for (const Case& c : cases) {
    DiscoveryReplyFields s;
    s.type = c.type;
    s.deviceClass = c.deviceClass;
    s.deviceSubclass = c.deviceSubclass;
    AnswerOn(0, {DiscoveryReply(s)});
    DiscoverDevices(c.filterClass, c.filterSubclass);
    EXPECT_EQ(DeviceList.count, c.accepted ? 1 : 0)
        << "filter " << c.filterClass << "/" << c.filterSubclass << ", type " << int(c.type)
        << " class " << int(c.deviceClass) << "/" << int(c.deviceSubclass);
  }
}

TEST_F(DiscoveryTest, IgnoredDatagrams) {
  const uint8_t other[6] = {9, 9, 9, 9, 9, 9};
  Open({"10.0.0.1"});
  DiscoveryReplyFields foreignId;
  foreignId.clientId = other;
  Bytes request = DiscoveryReply({});
  request[0] = kDiscoverRequest;  // another host's request on the group
  Bytes queryReply = DiscoveryReply({});
  queryReply[0] = kQueryReply;
  Bytes truncated = DiscoveryReply({});
  truncated.resize(59);  // stops before the data of its layout
  AnswerOn(0, {DiscoveryReply(foreignId), request, queryReply, truncated});
  DiscoverDevices(0, 0);
  EXPECT_EQ(DeviceList.count, 0);
}

TEST_F(DiscoveryTest, NameModelAndTextBounds) {
  struct Case {
    const char* what;
    std::function<Bytes()> reply;
    std::string name, netmask, model;
  };
  const std::string longName(300, 'n');
  const std::vector<Case> cases = {
      {"empty name", [] { DiscoveryReplyFields s; s.name = ""; return DiscoveryReply(s); }, "",
       "255.255.255.0", ""},
      {"length larger than the datagram",
       [] {
         DiscoveryReplyFields s;
         s.name = "short";
         Bytes b = DiscoveryReply(s);
         PutLe32(b.data() + 56, 4000);
         return b;
       },
       "short", "255.255.255.0", ""},
      {"name longer than 255",
       [&] { DiscoveryReplyFields s; s.name = longName; return DiscoveryReply(s); },
       std::string(255, 'n'), "255.255.255.0", ""},
      {"length smaller than the data",
       [] {
         DiscoveryReplyFields s;
         s.name = "abcdef";
         Bytes b = DiscoveryReply(s);
         PutLe32(b.data() + 56, 3);
         return b;
       },
       "abc", "255.255.255.0", ""},
      {"netmask filling its field",
       [] { DiscoveryReplyFields s; s.netmask = "255.255.255.2550"; return DiscoveryReply(s); },
       "nas", "255.255.255.255", ""},
      {"model filling its field",
       [] {
         DiscoveryReplyFields s;
         s.type = kDiscoverReplyModel;
         s.model = std::string(32, 'M');
         return DiscoveryReply(s);
       },
       "nas", "255.255.255.0", std::string(32, 'M')},
  };
  Open({"10.0.0.1"});
  for (const Case& c : cases) {
    AnswerOn(0, {c.reply()});
    DiscoverDevices(0, 0);
    ASSERT_EQ(DeviceList.count, 1) << c.what;
    EXPECT_EQ(std::string(DeviceList.head->name), c.name) << c.what;
    EXPECT_EQ(std::string(DeviceList.head->netmask), c.netmask) << c.what;
    EXPECT_EQ(std::string(DeviceList.head->model), c.model) << c.what;
  }
}

TEST_F(DiscoveryTest, ThirtyTwoDatagramsFillAllCycles) {
  for (int stale : {31, 32}) {
    Open({"10.0.0.1"});
    Bytes noise = DiscoveryReply({});
    noise[0] = kSetReply;
    for (int k = 0; k < stale; ++k) sockets.Queue(0, noise);
    sockets.Queue(0, DiscoveryReply({}));
    DiscoverDevices(3, 3);
    EXPECT_EQ(DeviceList.count, stale == 31 ? 1 : 0) << stale << " stale datagrams queued";
    EXPECT_EQ(sockets.Pending(0), stale == 31 ? 0u : 1u);
    CloseTransport();
  }
}

TEST_F(DiscoveryTest, ReceiveThatKeepsFailingUsesUpCycles) {
  Open({"10.0.0.1", "10.0.1.1"});
  sockets.QueueForever(0, SocketEvent::kReceiveError);
  AnswerOn(1, {DiscoveryReply({})});
  DiscoverDevices(3, 3);
  EXPECT_EQ(sockets.receives, 33);  // 32 failing on the first, one reply on the second
  ASSERT_EQ(DeviceList.count, 1);
  EXPECT_EQ(DeviceList.head->interfaceIndex, 1);
}

TEST_F(DiscoveryTest, EveryDiscoveryStartsFromAnEmptyList) {
  Open({"10.0.0.1"});
  AddDevice(Device{}, 0, false);
  ASSERT_EQ(DeviceList.count, 1);
  DiscoverDevices(3, 3);
  EXPECT_TRUE(IsDeviceListEmpty());
  EXPECT_EQ(DeviceList.head, nullptr);
  EXPECT_EQ(DeviceList.tail, nullptr);
}

TEST_F(DiscoveryTest, FindDeviceByAddressComparesExactly) {
  Device a, b;
  b.ip = "192.168.0.3";
  AddDevice(a, 0, false);
  AddDevice(b, 0, false);
  EXPECT_EQ(FindDeviceByAddress("192.168.0.3"), DeviceList.tail);
  EXPECT_EQ(FindDeviceByAddress("192.168.0.32"), DeviceList.head);
  EXPECT_EQ(FindDeviceByAddress("192.168.0.3 "), nullptr);
  EXPECT_EQ(FindDeviceByAddress(""), nullptr);
  EXPECT_EQ(FindDeviceByAddress(nullptr), nullptr);
}

}  // namespace
