// Every message of the catalogue, written and read back through the link: each reply has the
// length and layout its message owns.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace vela::sim {
namespace {

class CatalogueTest : public SimLinkTest {
 protected:
  void SetUp() override { OpenAndSync(); }

  // Writes (with the acknowledgement the reply bit asks for), then reads.
  void Write(std::initializer_list<int> message) {
    ASSERT_TRUE(link_.SendVLMessage(false, message));
    ASSERT_TRUE(link_.Reply().Valid());
    BoardMessage sent(message);
    ASSERT_EQ(ReplyMessage(),
              (Bytes{static_cast<uint8_t>(sent.m[0]), static_cast<uint8_t>(sent.m[1])}));
  }
  Bytes Read(std::initializer_list<int> message) {
    EXPECT_TRUE(link_.SendVLMessage(true, message));
    EXPECT_TRUE(link_.Reply().Valid());
    return ReplyMessage();
  }
  void TearDown() override { EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages[0].text; }
};

TEST_F(CatalogueTest, GeneralSettings_WriteThenReadBack_WithTheirLengths) {
  EXPECT_EQ(Read({112, 0}), (Bytes{112, 0, 3, 2, 2, 0}));
  Write({96, 1, 1, 2, 3, 0});
  EXPECT_EQ(Read({112, 1}), (Bytes{112, 1, 1, 2, 3, 0}));
  Write({96, 2, 127});
  EXPECT_EQ(Read({112, 2}), (Bytes{112, 2, 127}));
  Write({96, 3, 1, 15, 0, 9});
  EXPECT_EQ(Read({112, 3}), (Bytes{112, 3, 1, 15, 0, 9}));
  Write({96, 4, 62, 7});  // DCC address 510
  EXPECT_EQ(Read({112, 4}), (Bytes{112, 4, 62, 7}));
  Write({96, 5, 14});
  EXPECT_EQ(Read({112, 5}), (Bytes{112, 5, 14}));
  Write({96, 6, 0x41});
  EXPECT_EQ(Read({112, 6}), (Bytes{112, 6, 0x41}));
  Write({96, 7, 0x7F});
  EXPECT_EQ(Read({112, 7}), (Bytes{112, 7, 0x7F}));
  Write({96, 8, 1, 40});
  EXPECT_EQ(Read({112, 8}), (Bytes{112, 8, 1, 40}));
  Write({96, 10, 'S', 'i', 'g', 'n', 'a', 'l', ' ', 'B', 'o', 'x', ' ', '1'});
  EXPECT_EQ(Read({112, 10}),
            (Bytes{112, 10, 'S', 'i', 'g', 'n', 'a', 'l', ' ', 'B', 'o', 'x', ' ', '1'}));
  EXPECT_EQ(board_.Memory().id_string, "Signal Box 1");
  Write({96, 11, 0x00, 0x0F});
  EXPECT_EQ(Read({112, 11}), (Bytes{112, 11, 0x00, 0x0F}));
  Write({96, 12, 63, 31});  // extended DCC address 2047
  EXPECT_EQ(Read({112, 12}), (Bytes{112, 12, 63, 31}));
  Write({96, 13, 1, 0x3A});
  EXPECT_EQ(Read({112, 13}), (Bytes{112, 13, 1, 0x3A}));
}

TEST_F(CatalogueTest, IdString_EmptyAndCutToTwelve) {
  Write({96, 10});
  EXPECT_EQ(Read({112, 10}), (Bytes{112, 10}));
  Write({96, 10, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm'});
  EXPECT_EQ(link_.ReplyLength(), 2);
  EXPECT_EQ(Read({112, 10}).size(), 14u);
}

TEST_F(CatalogueTest, FactorySettings_ReadWithTheirLengths) {
  const std::vector<std::pair<int, int>> lengths = {{0, 6},  {1, 6},  {2, 3}, {3, 6}, {4, 4},
                                                    {5, 3},  {6, 3},  {7, 3}, {8, 4}, {10, 2},
                                                    {11, 4}, {12, 4}, {13, 4}};
  for (auto [n, length] : lengths) {
    Read({112, n});
    EXPECT_TRUE(link_.Reply().Is(length, 112, n)) << "setting " << n;
  }
  EXPECT_EQ(Read({112, 4}), (Bytes{112, 4, 1, 0}));
  EXPECT_EQ(Read({112, 5}), (Bytes{112, 5, 2}));
}

TEST_F(CatalogueTest, WriteWithTheWrongDataCount_Ignored) {
  Write({96, 1, 1, 2});
  EXPECT_EQ(Read({112, 1}), (Bytes{112, 1, 0, 0, 0, 0}));
}

TEST_F(CatalogueTest, Erase_WithItsBytes_RestoresFactoryValuesAndCounts) {
  Write({96, 4, 36, 1});
  Write({96, 10, 'X'});
  Write({0x61, 5, 2, 10, 3, 10, 0, 31});
  Write({98, 5, 3});
  board_.Memory().version = {4, 0, 1, 7};
  Write({96, 0, 23, 101, 9, 66, 115, 30, 88, 51});
  EXPECT_EQ(board_.Memory().erase_count, 1);
  EXPECT_EQ(Read({112, 4}), (Bytes{112, 4, 1, 0}));
  EXPECT_EQ(Read({112, 10}), (Bytes{112, 10}));
  EXPECT_EQ(Read({0x71, 5}), (Bytes{0x71, 5, 0}));
  EXPECT_EQ(Read({114, 5}), (Bytes{114, 5, 0}));
  EXPECT_EQ(Read({112, 0}), (Bytes{112, 0, 4, 0, 1, 7}));  // the firmware stays
}

TEST_F(CatalogueTest, SettingZeroWithOtherBytes_NoErase) {
  Write({96, 4, 36, 1});
  Write({96, 0, 23, 101, 9, 66, 115, 30, 88, 50});
  EXPECT_EQ(board_.Memory().erase_count, 0);
  EXPECT_EQ(Read({112, 4}), (Bytes{112, 4, 36, 1}));
}

TEST_F(CatalogueTest, PinConfiguration_BothStoresKeptApart_AsManyBytesAsWritten) {
  Write({0x61, 7, 1, 64, 10, 20, 100, 40, 90, 5, 5, 0, 0, 0});  // servo, 12 bytes
  Write({0x41, 7, 1, 80, 10, 20, 100, 40, 90, 5, 5, 0, 0, 0});
  EXPECT_EQ(Read({0x71, 7}), (Bytes{0x71, 7, 1, 64, 10, 20, 100, 40, 90, 5, 5, 0, 0, 0}));
  EXPECT_EQ(link_.ReplyLength(), 14);
  EXPECT_EQ(Read({0x51, 7}), (Bytes{0x51, 7, 1, 80, 10, 20, 100, 40, 90, 5, 5, 0, 0, 0}));
  Write({0x61, 9, 2, 0, 3, 10, 0, 31});  // PWM, 6 bytes
  EXPECT_EQ(Read({0x71, 9}), (Bytes{0x71, 9, 2, 0, 3, 10, 0, 31}));
  Write({0x61, 12, 5, 0, 2, 10, 0});  // input, 5 bytes
  EXPECT_EQ(Read({0x71, 12}), (Bytes{0x71, 12, 5, 0, 2, 10, 0}));
  Write({0x61, 9, 0});  // back to a plain output: the kind alone
  EXPECT_EQ(Read({0x71, 9}), (Bytes{0x71, 9, 0}));
  EXPECT_EQ(Read({0x51, 31}), (Bytes{0x51, 31, 0}));
}

TEST_F(CatalogueTest, Restart_LoadsTheActiveStoreFromFlash) {
  Write({0x61, 9, 2, 7, 3, 10, 0, 31});
  board_.Restart();
  EXPECT_EQ(Read({0x51, 9}), (Bytes{0x51, 9, 2, 7, 3, 10, 0, 31}));
}

TEST_F(CatalogueTest, AspectModeAndSteps_StoredAsWireBytes) {
  Write({98, 4, 3});
  EXPECT_EQ(Read({114, 4}), (Bytes{114, 4, 3}));
  // Instruction 20, (9, 200, 129, 7): A = 3, B = 72, C = 1, D = 7.
  const WireStep spi = EncodeWireStep(20, 0, 9, 200, 129, 7);
  EXPECT_EQ(spi, (WireStep{20, 3, 72, 1, 7}));
  Write({99, 4, 2, 8, spi[0], spi[1], spi[2], spi[3], spi[4]});
  EXPECT_EQ(Read({115, 4, 2, 8}), (Bytes{115, 4, 2, 8, 20, 3, 72, 1, 7}));
  // Fade 1 with instruction 5 travels as 21.
  const WireStep faded = EncodeWireStep(5, 1, 0, 1, 2, 3);
  EXPECT_EQ(faded[0], 21);
  Write({99, 4, 11, 0, faded[0], faded[1], faded[2], faded[3], faded[4]});
  EXPECT_EQ(Read({115, 4, 11, 0}), (Bytes{115, 4, 11, 0, 21, 0, 1, 2, 3}));
  EXPECT_EQ(Read({115, 4, 0, 0}), (Bytes{115, 4, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(CatalogueTest, InitNibbleAndEventOn_ShareHeader100) {
  Write({100, 6, 0x7F});
  EXPECT_EQ(Read({116, 6}), (Bytes{116, 6, 0x7F, 0x0F, 0x1F, 0x2F, 0x3F}));
  Write({100, 6, 0x72});
  Write({100, 6, 0x03, 0x1F, 0x2B, 0x37});
  EXPECT_EQ(Read({116, 6}), (Bytes{116, 6, 0x72, 0x03, 0x1F, 0x2B, 0x37}));
  EXPECT_EQ(link_.ReplyLength(), 7);
  EXPECT_EQ(board_.Memory().pins[6].init_nibble, 2);
  EXPECT_EQ(board_.Memory().pins[6].event_on, (std::array<uint8_t, 4>{3, 15, 11, 7}));
}

TEST_F(CatalogueTest, EventOff_SixByteReply) {
  EXPECT_EQ(Read({117, 0}), (Bytes{117, 0, 0x0F, 0x1F, 0x2F, 0x3F}));
  Write({101, 0, 0x00, 0x11, 0x2F, 0x3E});
  EXPECT_EQ(Read({117, 0}), (Bytes{117, 0, 0x00, 0x11, 0x2F, 0x3E}));
}

TEST_F(CatalogueTest, AddressConfiguration_TaggedBytes_InAnyOrder) {
  EXPECT_EQ(Read({118, 5}), (Bytes{118, 5, 9, 0x11, 0x40}));
  Write({102, 5, 0x5D, 0x0B, 0x13});  // DeviceRef -3, XDcc 1 + Dcc 3, Kora 3
  EXPECT_EQ(Read({118, 5}), (Bytes{118, 5, 0x0B, 0x13, 0x5D}));
  EXPECT_EQ(link_.ReplyLength(), 5);
}

TEST_F(CatalogueTest, OutputCommands_AreAcknowledged) {
  Write({0, 0, 3, 1});
  Write({0, 1, 0, 2});
  Write({0, 38, 9, 31});
  Write({0, 54, 9, 0});
  Write({0, 39, 7, 64});
  Write({0, 55, 7, 127});
  EXPECT_EQ(board_.OutputLog().size(), 6u);
  EXPECT_EQ(board_.OutputLog()[5], (std::vector<int>{0, 55, 7, 127}));
}

TEST_F(CatalogueTest, UnknownSettingAndType_EchoAloneOrEmpty) {
  EXPECT_EQ(Read({112, 9}), (Bytes{112, 9}));
  EXPECT_EQ(Read({119, 0}), Bytes{});
  EXPECT_EQ(Read({114, 40}), (Bytes{114, 40}));
}

TEST_F(CatalogueTest, PollAmongMessages_NotRecordedInMessages) {
  Write({96, 5, 3});
  Read({112, 5});
  link_.SendVLMessage(false, BoardMessage{});
  EXPECT_EQ(board_.Messages(), (std::vector<std::vector<int>>{{96, 5, 3}, {112, 5}}));
}

}  // namespace
}  // namespace vela::sim
