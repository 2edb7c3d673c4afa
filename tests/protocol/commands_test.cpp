// Device commands: request bytes, drains, try limits, address checks, and
// what each leaves in the buffers.
#include <cstring>

#include "fakes.h"

namespace {

void SetText(char* field, size_t capacity, const char* text) {
  std::memset(field, 0, capacity);
  std::memcpy(field, text, std::min(std::strlen(text), capacity));
}
#define SET(field, text) SetText(field, sizeof field, text)

class CommandTest : public ProtocolTest {
protected:
  void SetUp() override {
    ProtocolTest::SetUp();
    Open({"10.0.0.1", "192.168.0.10"});
    device = AddDevice(Device{}, 1);
  }
  // The device answers each request with this datagram.
  void AnswerWith(const Bytes& reply) {
    sockets.onSend = [this, reply](int via, const Bytes&) { sockets.Queue(via, reply); };
  }
  const Bytes& Request() {
    EXPECT_EQ(sockets.sent.size(), 1u);
    static const Bytes none;
    return sockets.sent.empty() ? none : sockets.sent.back().bytes;
  }
  size_t WaitsBeforeSend() const {
    size_t n = 0;
    for (const auto& w : sockets.waits) n += w.sentBefore == 0;
    return n;
  }
  NasDevice* device = nullptr;
};

struct CommandCase {
  const char* name;
  int (*run)();
  uint8_t type;
  CommandCode code;
  size_t length;  // with the buffers that Prepare fills
  int drain;
  int limit;
  bool fromSelected;  // reply must carry the selected address
};

void Prepare() {
  SET(CommandBuffers.adminUser, "admin");
  SET(CommandBuffers.targetIp, "192.168.0.50");
  SET(CommandBuffers.netmask, "255.255.255.0");
  SET(CommandBuffers.gateway, "192.168.0.1");
  SET(CommandBuffers.mountMode, "rw");
  SET(CommandBuffers.serviceCommand, "stop");
  SET(CommandBuffers.workgroup, "WORKGROUP");
  SET(CommandBuffers.codePage, "950");
  SET(CommandBuffers.addonName, "BT");
}

const CommandCase kCommands[] = {
    {"CheckAdminLogin", CheckAdminLogin, kQueryRequest, kCodeAdminLogin, 35, 0, 10, true},
    {"QueryShareList", QueryShareList, kQueryRequest, kCodeShareList, 28, 11, 20, true},
    {"QueryWorkgroup", QueryWorkgroup, kQueryRequest, kCodeWorkgroup, 28, 6, 10, true},
    {"QueryCodePage", QueryCodePage, kQueryRequest, kCodeCodePage, 28, 11, 10, true},
    {"QueryDiskStatus", QueryDiskStatus, kQueryRequest, kCodeDiskStatus, 28, 11, 20, true},
    {"QueryShareName", QueryShareName, kQueryRequest, kCodeShareName, 28, 11, 20, true},
    {"QueryBtFirmware", QueryBtFirmware, kQueryRequest, kCodeBtFirmware, 28, 11, 20, true},
    {"QueryDomain", QueryDomain, kQueryRequest, kCodeDomain, 28, 11, 20, true},
    {"QuerySslMode", QuerySslMode, kQueryRequest, kCodeSslMode, 28, 11, 20, true},
    {"QueryLanConfig", QueryLanConfig, kQueryRequest, kCodeLanConfig, 28, 11, 20, true},
    {"SetDhcpClient", SetDhcpClient, kSetRequest, kCodeDhcpClient, 60, 0, 100, false},
    {"ApplyLanSettings", ApplyLanSettings, kSetRequest, kCodeStaticAddress, 72, 0, 300, false},
    {"SetMountMode", SetMountMode, kSetRequest, kCodeMountMode, 62, 0, 10, true},
    {"SendStopCommand", SendStopCommand, kSetRequest, kCodeStopService, 64, 0, 10, true},
    {"SetWorkgroup", SetWorkgroup, kSetRequest, kCodeSetWorkgroup, 69, 0, 10, true},
    {"SetCodePage", SetCodePage, kSetRequest, kCodeSetCodePage, 63, 0, 10, true},
    {"RegisterAddon", RegisterAddon, kSetRequest, kCodeRegisterAddon, 62, 0, 10, true},
};

TEST_F(CommandTest, UnansweredCommandDrainsSendsAndWaitsItsLimit) {
  Prepare();
  for (const CommandCase& c : kCommands) {
    sockets.sent.clear();
    sockets.waits.clear();
    clock.pauses.clear();
    EXPECT_EQ(c.run(), 0) << c.name;
    const Bytes& r = Request();
    ASSERT_EQ(r.size(), c.length) << c.name << ": " << Hex(r);
    EXPECT_EQ(r[0], c.type) << c.name;
    EXPECT_EQ(Hex(Bytes(r.begin() + 1, r.begin() + 21)),
              "3a 7f 01 c2 55 e0 00 00 00 00 00 11 22 33 44 55 c0 a8 00 20 ")
        << c.name;
    EXPECT_EQ(r[21], c.code) << c.name;
    EXPECT_EQ(sockets.sent[0].socket, LocalInterfaceTable.sendSocket[1]) << c.name;
    EXPECT_EQ(GetLe32(r.data() + (c.type == kQueryRequest ? 24 : 56)),
              c.length - (c.type == kQueryRequest ? 28 : 60))
        << c.name << ": data length field";
    EXPECT_EQ(WaitsBeforeSend(), size_t(c.drain)) << c.name << ": drain polls";
    EXPECT_EQ(sockets.waits.size() - WaitsBeforeSend(), size_t(c.limit + 1)) << c.name;
    EXPECT_EQ(clock.pauses, std::vector<int>(c.limit, 100)) << c.name;
    for (const auto& w : sockets.waits)
      ASSERT_EQ(w.socket, LocalInterfaceTable.receiveSocket[1]) << c.name;
  }
}

// The exchange of every command ends within its try limit when the target
// interface's receive fails again and again: each failure is skipped at
// once, and the wait ends when it has lasted twice as long as an unanswered
// one.
TEST_F(CommandTest, ReceiveThatKeepsFailingEndsTheExchangeWithinItsLimit) {
  Prepare();
  sockets.QueueForever(1, SocketEvent::kReceiveError);
  sockets.receiveCostMs = 1;
  for (const CommandCase& c : kCommands) {
    clock.pauses.clear();
    const int64_t start = clock.now;
    EXPECT_EQ(c.run(), 0) << c.name;
    EXPECT_TRUE(clock.pauses.empty()) << c.name;
    const int64_t bound = c.drain * kPollWaitMs + 2 * ReplyWaitMs(c.limit);
    EXPECT_LE(clock.now - start, bound) << c.name << ": expected at most " << bound << " ms";
  }
}

TEST_F(CommandTest, ReplyOriginCheck) {
  for (const CommandCase& c : kCommands) {
    Prepare();
    SET(CommandBuffers.selectedIp, "192.168.0.32");
    ClearDeviceList();
    device = AddDevice(Device{}, 1);
    sockets.sent.clear();
    const uint8_t replyType = c.type == kQueryRequest ? kQueryReply : kSetReply;
    Bytes fromOther = replyType == kQueryReply ? QueryReply("192.168.0.99", "\x01")
                                               : SetReply("192.168.0.99");
    AnswerWith(fromOther);
    const int result = c.run();
    if (c.fromSelected)
      EXPECT_EQ(result, 0) << c.name << " took a reply from another device";
    else
      EXPECT_EQ(result, 1) << c.name << " must take a reply from any address";
  }
}

TEST_F(CommandTest, TargetNotInDeviceListSendsAndDrainsNothing) {
  Prepare();
  SET(CommandBuffers.selectedIp, "192.168.0.33");
  for (const CommandCase& c : kCommands) EXPECT_EQ(c.run(), 0) << c.name;
  EXPECT_TRUE(sockets.sent.empty());
  EXPECT_TRUE(sockets.waits.empty());
}

TEST_F(CommandTest, AdminLoginRequestAndResult) {
  SET(CommandBuffers.adminUser, "admin");
  AnswerWith(QueryReply("192.168.0.32", "\x01"));
  EXPECT_EQ(CheckAdminLogin(), 1);
  EXPECT_EQ(Hex(Bytes(Request().begin() + 24, Request().end())),
            "07 00 00 00 61 64 6d 69 6e 55 aa ");

  struct Case {
    const char* password;
    Bytes reply;
    int result;
  } cases[] = {
      {"secret", QueryReply("192.168.0.32", "\x01"), 1},
      {"wrong", QueryReply("192.168.0.32", ""), 0},
      {"x", QueryReply("192.168.0.32", "\xff"), -1},  // a signed character, non-zero
      {"sixteen-chars-pw", QueryReply("192.168.0.32", "\x01"), 1},
  };
  for (const Case& c : cases) {
    sockets.sent.clear();
    SET(CommandBuffers.adminPassword, c.password);
    AnswerWith(c.reply);
    EXPECT_EQ(CheckAdminLogin(), c.result) << c.password;
    const Bytes& r = Request();
    const std::string expected = std::string("admin\x55\xaa") + c.password;
    EXPECT_EQ(r.size(), 28 + expected.size()) << c.password;
    EXPECT_EQ(std::string(r.begin() + 28, r.end()), expected) << c.password;
  }
}

TEST_F(CommandTest, TextQueriesStoreCutAndTraceTheReply) {
  struct Case {
    int (*run)();
    char* field;
    size_t capacity;
    const char* trace;
  } cases[] = {
      {QueryWorkgroup, CommandBuffers.workgroup, sizeof CommandBuffers.workgroup, "workgroup="},
      {QueryCodePage, CommandBuffers.codePage, sizeof CommandBuffers.codePage, "codepage="},
      {QueryDiskStatus, CommandBuffers.diskStatus, sizeof CommandBuffers.diskStatus, "ideok="},
      {QueryShareName, CommandBuffers.shareName, sizeof CommandBuffers.shareName, "sharename="},
      {QueryBtFirmware, CommandBuffers.btFirmware, sizeof CommandBuffers.btFirmware, "bt_firmware="},
      {QueryDomain, CommandBuffers.domain, sizeof CommandBuffers.domain, "domain="},
      {QuerySslMode, CommandBuffers.sslMode, sizeof CommandBuffers.sslMode, "ssl="},
  };
  for (const Case& c : cases) {
    // A short text replaces the whole buffer.
    std::memset(c.field, 'z', c.capacity - 1);
    Traces().clear();
    AnswerWith(QueryReply("192.168.0.32", "3"));
    EXPECT_EQ(c.run(), 1) << c.trace;
    EXPECT_STREQ(c.field, "3") << c.trace;
    ASSERT_EQ(Traces().size(), 1u) << c.trace;
    EXPECT_EQ(Traces()[0], std::string(c.trace) + "3\n");

    // A text longer than the buffer is cut to fit; the next field keeps its value.
    char after = c.field[c.capacity];
    AnswerWith(QueryReply("192.168.0.32", std::string(400, 'L')));
    EXPECT_EQ(c.run(), 1) << c.trace;
    EXPECT_EQ(std::string(c.field), std::string(c.capacity - 1, 'L')) << c.trace;
    EXPECT_EQ(c.field[c.capacity], after) << c.trace << ": wrote past its buffer";

    // No answer: the buffer keeps its value, nothing is traced.
    Traces().clear();
    sockets.onSend = nullptr;
    EXPECT_EQ(c.run(), 0) << c.trace;
    EXPECT_EQ(std::string(c.field), std::string(c.capacity - 1, 'L')) << c.trace;
    EXPECT_TRUE(Traces().empty()) << c.trace;
  }
}

TEST_F(CommandTest, QueryReplyFromForeignClientCostsATry) {
  const uint8_t other[6] = {1, 1, 1, 1, 1, 1};
  sockets.onSend = [this, &other](int via, const Bytes&) {
    sockets.Queue(via, QueryReply("192.168.0.32", "theirs", other));
    sockets.Queue(via, QueryReply("192.168.0.32", "ours"));
  };
  EXPECT_EQ(QueryWorkgroup(), 1);
  EXPECT_STREQ(CommandBuffers.workgroup, "ours");
  EXPECT_EQ(clock.pauses, std::vector<int>{100});
}

TEST_F(CommandTest, DrainThrowsAwayStaleRepliesBeforeSending) {
  for (int k = 0; k < 3; ++k) sockets.Queue(1, QueryReply("192.168.0.32", "stale"));
  AnswerWith(QueryReply("192.168.0.32", "fresh"));
  EXPECT_EQ(QueryCodePage(), 1);
  EXPECT_STREQ(CommandBuffers.codePage, "fresh");
}

TEST_F(CommandTest, TextSetCommandsSendTheirTextAndTheBuffersNetmaskAndGateway) {
  struct Case {
    const char* name;
    int (*run)();
    char* field;
    size_t capacity;
    const char* text;
  } cases[] = {
      {"SetMountMode", SetMountMode, CommandBuffers.mountMode, sizeof CommandBuffers.mountMode, "rw"},
      {"SendStopCommand", SendStopCommand, CommandBuffers.serviceCommand,
       sizeof CommandBuffers.serviceCommand, "12345678"},  // fills its field
      {"SetWorkgroup", SetWorkgroup, CommandBuffers.workgroup, sizeof CommandBuffers.workgroup,
       "WORKGROUP"},
      {"SetCodePage", SetCodePage, CommandBuffers.codePage, sizeof CommandBuffers.codePage, "950"},
      {"RegisterAddon", RegisterAddon, CommandBuffers.addonName, sizeof CommandBuffers.addonName,
       "BT"},
  };
  SET(CommandBuffers.netmask, "255.255.255.0");
  SET(CommandBuffers.gateway, "192.168.100.2540");  // 16 characters: no terminator in the packet
  AnswerWith(SetReply("192.168.0.32"));
  for (const Case& c : cases) {
    SetText(c.field, c.capacity, c.text);
    sockets.sent.clear();
    EXPECT_EQ(c.run(), 1) << c.name;
    const Bytes& r = Request();
    ASSERT_EQ(r.size(), 60 + std::strlen(c.text)) << c.name << ": " << Hex(r);
    EXPECT_EQ(GetLe32(r.data() + 56), std::strlen(c.text)) << c.name;
    EXPECT_EQ(std::string(r.begin() + 60, r.end()), c.text) << c.name;
    EXPECT_EQ(Hex(Bytes(r.begin() + 24, r.begin() + 40)),
              "32 35 35 2e 32 35 35 2e 32 35 35 2e 30 00 00 00 ")
        << c.name << ": netmask at 24";
    EXPECT_EQ(std::string(r.begin() + 40, r.begin() + 56), "192.168.100.2540")
        << c.name << ": gateway at 40";
  }
}

TEST_F(CommandTest, ShareListFromReply) {
  struct Case {
    const char* reply;
    std::vector<std::string> names;
  } cases[] = {
      {"HDD_1:HDD_1:USB", {"HDD_1", "USB"}},
      {"::HDD_1::Recycle Bin - HDD_1:", {"HDD_1", "Recycle Bin - HDD_1"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    AnswerWith(QueryReply("192.168.0.32", c.reply));
    EXPECT_EQ(QueryShareList(), 1) << c.reply;
    std::vector<std::string> got;
    for (ShareEntry* e = ShareList.head; e; e = e->next) got.push_back(e->name);
    EXPECT_EQ(got, c.names) << c.reply;
    EXPECT_EQ(ShareList.count, int(c.names.size())) << c.reply;
  }
}

TEST_F(CommandTest, LongShareNamesAreCutAndStillUnique) {
  const std::string a(300, 'a');
  AnswerWith(QueryReply("192.168.0.32", a + ":" + a + "b"));
  EXPECT_EQ(QueryShareList(), 1);
  ASSERT_EQ(ShareList.count, 1);
  EXPECT_EQ(std::string(ShareList.head->name), std::string(255, 'a'));
}

TEST_F(CommandTest, UnansweredShareListIsLeftEmptyUnknownTargetLeavesIt) {
  AnswerWith(QueryReply("192.168.0.32", "HDD_1"));
  ASSERT_EQ(QueryShareList(), 1);
  SET(CommandBuffers.selectedIp, "10.1.1.1");
  EXPECT_EQ(QueryShareList(), 0);
  EXPECT_EQ(ShareList.count, 1) << "unknown target must leave the list";
  SET(CommandBuffers.selectedIp, "192.168.0.32");
  sockets.onSend = nullptr;
  EXPECT_EQ(QueryShareList(), 0);
  EXPECT_EQ(ShareList.count, 0);
  EXPECT_EQ(ShareList.head, nullptr);
}

TEST_F(CommandTest, LanConfigQuery) {
  AnswerWith(QueryReply("192.168.0.32", "LAN1:192.168.0.32:255.255.255.0::1:LAN2:10.0.0.2:255.0.0.0::0"));
  EXPECT_EQ(QueryLanConfig(), 1);
  const LanConfig& c = CommandBuffers.lanConfig;
  EXPECT_STREQ(c.port[0].name, "LAN1");
  EXPECT_STREQ(c.port[1].address, "10.0.0.2");

  // Refused text: lanConfig untouched, failure.
  const LanConfig before = c;
  AnswerWith(QueryReply("192.168.0.32", "LAN1:192.168.0.32"));
  EXPECT_EQ(QueryLanConfig(), 0);
  EXPECT_EQ(std::memcmp(&before, &c, sizeof c), 0);

  // Empty data: a device without per-port configuration.
  AnswerWith(QueryReply("192.168.0.32", ""));
  EXPECT_EQ(QueryLanConfig(), 1);
  EXPECT_FALSE(IsLanConfigPresent(c));
}

LanConfig TwoPortConfig() {
  LanConfig c;
  std::memset(&c, 0, sizeof c);
  EXPECT_TRUE(ParseLanConfig("LAN1:192.168.0.32:255.255.255.0:192.168.0.1:0:LAN2:10.0.0.2:255.0.0.0::1", &c));
  return c;
}

TEST_F(CommandTest, ApplyLanSettingsWithLanConfigSendsTheRecord) {
  CommandBuffers.lanConfig = TwoPortConfig();
  SET(CommandBuffers.targetIp, "192.168.0.50");
  SET(CommandBuffers.netmask, "255.255.0.0");
  SET(CommandBuffers.gateway, "192.168.0.254");
  AnswerWith(SetReply("192.168.0.32"));  // answered from the old address
  EXPECT_EQ(ApplyLanSettings(), 1);
  const Bytes& r = Request();
  ASSERT_EQ(r.size(), 180u);
  EXPECT_EQ(r[21], kCodeSetLanConfig);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 24)), "255.255.0.0");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 40)), "192.168.0.254");
  EXPECT_EQ(GetLe32(r.data() + 56), 120u);
  EXPECT_EQ(std::memcmp(r.data() + 60, &CommandBuffers.lanConfig, 120), 0);

  EXPECT_STREQ(device->ipText, "192.168.0.50");
  EXPECT_EQ(Hex(Bytes(device->ipBytes, device->ipBytes + 4)), "c0 a8 00 32 ");
  EXPECT_STREQ(device->netmask, "255.255.0.0");
  EXPECT_STREQ(device->gateway, "192.168.0.254");
  EXPECT_STREQ(CommandBuffers.selectedIp, "192.168.0.50");
}

TEST_F(CommandTest, ApplyLanSettingsWithoutLanConfigSendsTheAddressText) {
  SET(CommandBuffers.targetIp, "10.0.0.5");
  SET(CommandBuffers.netmask, "255.0.0.0");
  AnswerWith(SetReply("10.0.0.5"));  // answered from the new address
  EXPECT_EQ(ApplyLanSettings(), 1);
  const Bytes& r = Request();
  EXPECT_EQ(r[21], kCodeStaticAddress);
  EXPECT_EQ(std::string(r.begin() + 60, r.end()), "10.0.0.5");
  EXPECT_STREQ(device->ipText, "10.0.0.5");
  EXPECT_STREQ(device->gateway, "");
  EXPECT_STREQ(CommandBuffers.selectedIp, "10.0.0.5");
}

TEST_F(CommandTest, FailedLanChangesLeaveRecordAndSelection) {
  SET(CommandBuffers.targetIp, "10.0.0.5");
  EXPECT_EQ(ApplyLanSettings(), 0);
  EXPECT_EQ(SetDhcpClient(), 0);
  EXPECT_STREQ(device->ipText, "192.168.0.32");
  EXPECT_STREQ(device->netmask, "255.255.255.0");
  EXPECT_STREQ(CommandBuffers.selectedIp, "192.168.0.32");
}

TEST_F(CommandTest, ApplyLanSettingsWithATargetThatIsNoAddressSendsAndKeepsTheAddress) {
  struct Case {
    const char* target;
    bool lanConfig;
    CommandCode code;
    size_t length;
  } cases[] = {
      {"NULL", true, kCodeSetLanConfig, 180},  // LAN2 edit of a device whose LAN1 has none
      {"NULL", false, kCodeStaticAddress, 64},
      {"", false, kCodeStaticAddress, 60},
      {"10.0.0.256", true, kCodeSetLanConfig, 180},
  };
  for (const Case& c : cases) {
    ClearDeviceList();
    device = AddDevice(Device{}, 1);
    std::memset(&CommandBuffers.lanConfig, 0, sizeof CommandBuffers.lanConfig);
    if (c.lanConfig) CommandBuffers.lanConfig = TwoPortConfig();
    SET(CommandBuffers.targetIp, c.target);
    SET(CommandBuffers.netmask, "255.0.0.0");
    SET(CommandBuffers.gateway, "10.0.0.1");
    sockets.sent.clear();
    AnswerWith(SetReply("192.168.0.32"));
    EXPECT_EQ(ApplyLanSettings(), 1) << c.target;
    const Bytes& r = Request();
    ASSERT_EQ(r.size(), c.length) << c.target << ": " << Hex(r);
    EXPECT_EQ(r[21], c.code) << c.target;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 24)), "255.0.0.0") << c.target;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data() + 40)), "10.0.0.1") << c.target;
    if (!c.lanConfig) {
      EXPECT_EQ(std::string(r.begin() + 60, r.end()), c.target);
    }
    EXPECT_STREQ(device->ipText, "192.168.0.32") << c.target;
    EXPECT_EQ(Hex(Bytes(device->ipBytes, device->ipBytes + 4)), "c0 a8 00 20 ") << c.target;
    EXPECT_STREQ(device->netmask, "255.0.0.0") << c.target;
    EXPECT_STREQ(device->gateway, "10.0.0.1") << c.target;
    EXPECT_STREQ(CommandBuffers.selectedIp, "192.168.0.32") << c.target;
  }
}

TEST_F(CommandTest, SetDhcpClientMovesTheRecordToTheReportedAddress) {
  SET(CommandBuffers.netmask, "255.0.0.0");  // not sent by this command
  AnswerWith(SetReply("192.168.0.77"));
  EXPECT_EQ(SetDhcpClient(), 1);
  const Bytes& r = Request();
  ASSERT_EQ(r.size(), 60u);
  for (size_t i = 24; i < 60; ++i) EXPECT_EQ(r[i], 0) << "byte " << i;
  EXPECT_STREQ(device->ipText, "192.168.0.77");
  EXPECT_EQ(Hex(Bytes(device->ipBytes, device->ipBytes + 4)), "c0 a8 00 4d ");
  EXPECT_STREQ(device->netmask, "255.255.255.0");
  EXPECT_STREQ(CommandBuffers.selectedIp, "192.168.0.77");
  EXPECT_EQ(FindDeviceByAddress("192.168.0.77"), device);
}

TEST_F(CommandTest, SetDhcpClientWithLanConfigSendsTheRecord) {
  CommandBuffers.lanConfig = TwoPortConfig();
  AnswerWith(SetReply("192.168.0.32"));
  EXPECT_EQ(SetDhcpClient(), 1);
  const Bytes& r = Request();
  ASSERT_EQ(r.size(), 180u);
  EXPECT_EQ(r[21], kCodeDhcpClient);
  EXPECT_EQ(GetLe32(r.data() + 56), 120u);
  EXPECT_EQ(std::memcmp(r.data() + 60, &CommandBuffers.lanConfig, 120), 0);
}

}  // namespace
