// The network address editor and the confirmation queue of the start-up task, driven by key messages; the
// Ethernet task's mailbox and the keyboard task's mailbox are read directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/database.h"
#include "kernel/mbox.h"
#include "kernel/memory.h"
#include "kernel/sema.h"
#include "ui/editors/ipedit.h"
#include "golden.h"
#include "key_presses.h"
#include "run_apart.h"

TEST_RUN_APART(AddressEditorTest);

namespace {

// As the start-up task does: a queued box first, then the editor.
std::string run(const std::vector<UiKey> &keys) {
  return UI_sPress(
      [](const MSG_KEY_CHANGE *pMsg) {
        return T_STARTUP_EDIT_bHandleConfKeys(pMsg) || T_STARTUP_EDIT_bHandleKeys(pMsg);
      },
      keys);
}

// What reached the Ethernet task.
std::vector<MSG_SAVE_IP_SETUP> sent() {
  std::vector<MSG_SAVE_IP_SETUP> msgs;
  while (void *pvMsg = L_MBOX_Receive(M_ETHERNET)) {
    MSG_SAVE_IP_SETUP copy;
    std::memcpy(static_cast<void *>(&copy), pvMsg, sizeof copy);
    EXPECT_EQ(copy.header.Cmd, CMD_ID_SAVE_IP_SETUP);
    msgs.push_back(copy);
    H_MEMORY_vDumpMail(pvMsg);
  }
  return msgs;
}

// Key registrations (+keys) and removals (-keys) the start-up mailbox sent to the keyboard task.
std::vector<long> keyTraffic() {
  std::vector<long> traffic;
  while (void *pvMsg = L_MBOX_Receive(M_KEYB)) {
    const auto *pHeader = static_cast<const GENERIC_MESSAGE *>(pvMsg);
    if (pHeader->Cmd == CMD_ID_REGISTER_FOR_KEYS) {
      traffic.push_back(static_cast<long>(static_cast<MSG_REGISTER_FOR_KEYS *>(pvMsg)->keys));
    } else if (pHeader->Cmd == CMD_ID_UNREGISTER_FOR_KEYS) {
      traffic.push_back(-static_cast<long>(static_cast<MSG_UNREGISTER_FOR_KEYS *>(pvMsg)->keys));
    }
    H_MEMORY_vDumpMail(pvMsg);
  }
  return traffic;
}

U32 address(U32 a, U32 b, U32 c, U32 d) { return a << 24 | b << 16 | c << 8 | d; }

class AddressEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_UI_TEST_CLOCK();
    H_DATABASE_bUpdateEverythingU32(FCID("TKBD"), M_KEYB, P_NORMAL, D_MAILBOX, nullptr, DB_NO_TIMEOUT);
    H_DATABASE_bUpdateValueU32(FCID("SIPD"), 0, P_NORMAL);
    H_DATABASE_bUpdateValueU32(FCID("SIPA"), address(192, 168, 0, 1), P_NORMAL);
    H_DATABASE_bUpdateValueU32(FCID("SIPM"), address(255, 255, 255, 0), P_NORMAL);
    H_DATABASE_bUpdateValueU32(FCID("SIPG"), address(192, 168, 0, 254), P_NORMAL);
  }
  void TearDown() override {
    T_STARTUP_EDIT_vResetState();
    while (T_STARTUP_EDIT_pConfHead() != nullptr) run({X});
    sent();
    keyTraffic();
  }
  void open() {
    T_STARTUP_EDIT_vIPAddressSetup();
    UI_bTakeSignal(SEMA_KEYCLICK_GOOD);
  }
  const IPA_EDIT_INFO &edit() { return *T_STARTUP_EDIT_pEditInfo(); }
};

TEST_F(AddressEditorTest, OpensWithThreeDigitOctets) {
  open();
  EXPECT_EQ(T_STARTUP_EDIT_eState(), STARTUP_EDIT_IPADDRESS);
  EXPECT_EQ(edit().eState, IPA_EDIT_MODE);
  EXPECT_EQ(edit().nMode, 0u);
  EXPECT_STREQ(edit().sIPAddress, "192.168.000.001");
  EXPECT_STREQ(edit().sSubnetMask, "255.255.255.000");
  EXPECT_STREQ(edit().sDefaultGateway, "192.168.000.254");
  EXPECT_EQ(keyTraffic(), (std::vector<long>{0xFFEF, 0x0010}));
}

TEST_F(AddressEditorTest, KeyTable) {
  struct Case {
    const char *name;
    U32 u32Dynamic;
    std::vector<UiKey> keys;
    IPA_EDIT_STATE state;
    S32 position;
    const char *address;
    const char *clicks;
  } cases[] = {
      {"last octet up", 0, {D, R, R, R, R, U}, IPA_EDIT_ADDR_VALUE, 12, "192.168.000.002", "gggggg"},
      {"octet down on 000 wraps to 255", 0, {D, R, R, R, D}, IPA_EDIT_ADDR_VALUE, 8, "192.168.255.001", "ggggg"},
      {"octet up on 255 wraps to 000", 0, {D, R, R, R, D, U}, IPA_EDIT_ADDR_VALUE, 8, "192.168.000.001", "gggggg"},
      {"octet down", 0, {D, R, D, D}, IPA_EDIT_ADDR_VALUE, 0, "190.168.000.001", "gggg"},
      {"right on the last octet goes to Save", 0, {D, R, R, R, R, R}, IPA_EDIT_SAVE, 0, "192.168.000.001", "gggggg"},
      {"left on the first octet goes to the label", 0, {D, R, L}, IPA_EDIT_ADDR, 0, "192.168.000.001", "ggg"},
      {"left steps back an octet", 0, {D, R, R, R, L}, IPA_EDIT_ADDR_VALUE, 4, "192.168.000.001", "ggggg"},
      {"static: down from the mode to the address", 0, {D}, IPA_EDIT_ADDR, 0, "192.168.000.001", "g"},
      {"rows down to Save and up to the gateway", 0, {D, D, D, D, U}, IPA_EDIT_GATE, 0, "192.168.000.001", "ggggg"},
      {"dynamic: down from the mode to Save", 1, {D}, IPA_EDIT_SAVE, 0, "192.168.000.001", "g"},
      {"dynamic: up from Save to the mode", 1, {D, U}, IPA_EDIT_MODE, 0, "192.168.000.001", "gg"},
      {"mode value toggles", 0, {R, U}, IPA_EDIT_MODE_VALUE, 0, "192.168.000.001", "gg"},
      {"stays: up on the mode and left on a label", 0, {U, L}, IPA_EDIT_MODE, 0, "192.168.000.001", "gg"},
      {"nothing: right on the mode value, left on Save", 0, {R, R, L, D, D, D, D, D, L}, IPA_EDIT_SAVE, 0,
       "192.168.000.001", "g-gggggg-"},
      {"EXIT on a value returns to its label", 0, {D, R, R, X}, IPA_EDIT_ADDR, 0, "192.168.000.001", "gggg"},
      {"other keys are not the editor's", 0, {MENU}, IPA_EDIT_MODE, 0, "192.168.000.001", "u"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    H_DATABASE_bUpdateValueU32(FCID("SIPD"), c.u32Dynamic, P_NORMAL);
    open();
    EXPECT_EQ(run(c.keys), c.clicks);
    EXPECT_EQ(edit().eState, c.state);
    EXPECT_EQ(edit().nPosition, c.position);
    EXPECT_STREQ(edit().sIPAddress, c.address);
    T_STARTUP_EDIT_vResetState();
  }
  EXPECT_TRUE(sent().empty());
}

TEST_F(AddressEditorTest, ExitWithoutChangeClosesAndSendsNothing) {
  open();
  EXPECT_EQ(run({X}), "g");
  EXPECT_EQ(T_STARTUP_EDIT_eState(), STARTUP_EDIT_NONE);
  EXPECT_EQ(T_STARTUP_EDIT_pConfHead(), nullptr);
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(run({X}), "u");  // closed: keys are not taken
}

TEST_F(AddressEditorTest, ExitWithChangesAsksAndYesSendsTheAddressWithoutLeadingZeros) {
  open();
  EXPECT_EQ(run({D, R, R, R, R, U, X, X}), "gggggggg");  // 192.168.0.2, back to the label, EXIT
  ASSERT_NE(T_STARTUP_EDIT_pConfHead(), nullptr);
  EXPECT_STREQ((*T_STARTUP_EDIT_pConfHead()->pStatement)[0], "Save Changes?");
  EXPECT_EQ(T_STARTUP_EDIT_eState(), STARTUP_EDIT_IPADDRESS);
  keyTraffic();

  EXPECT_EQ(run({R}), "g");  // Yes
  EXPECT_EQ(T_STARTUP_EDIT_eState(), STARTUP_EDIT_NONE);
  EXPECT_EQ(T_STARTUP_EDIT_pConfHead(), nullptr);
  const std::vector<MSG_SAVE_IP_SETUP> msgs = sent();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_TRUE(msgs[0].bChanged);
  EXPECT_FALSE(msgs[0].bDynamic);
  EXPECT_STREQ(msgs[0].sIPAddress, "192.168.0.2");
  EXPECT_STREQ(msgs[0].sSubnetMask, "255.255.255.0");
  EXPECT_STREQ(msgs[0].sDefaultGateway, "192.168.0.254");
  U32 u32Stored = 0;
  ASSERT_TRUE(H_DATABASE_bFetchU32(FCID("SIPA"), &u32Stored, nullptr, nullptr));
  EXPECT_EQ(u32Stored, address(192, 168, 0, 2));
  // The keys go back once, with the box.
  EXPECT_EQ(keyTraffic(), (std::vector<long>{-0xFFFE}));
}

TEST_F(AddressEditorTest, NoClosesWithoutSavingAndSaveInDynamicModeSendsNoAddresses) {
  open();
  run({R, U, L, X});  // dynamic now
  EXPECT_EQ(run({L}), "g");  // No
  EXPECT_EQ(T_STARTUP_EDIT_eState(), STARTUP_EDIT_NONE);
  EXPECT_TRUE(sent().empty());
  U32 u32Mode = 9;
  H_DATABASE_bFetchU32(FCID("SIPD"), &u32Mode, nullptr, nullptr);
  EXPECT_EQ(u32Mode, 0u);

  open();
  EXPECT_EQ(run({R, D, L, D, R}), "ggggg");  // toggle, back, down to Save (dynamic), save
  const std::vector<MSG_SAVE_IP_SETUP> msgs = sent();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_TRUE(msgs[0].bChanged);
  EXPECT_TRUE(msgs[0].bDynamic);
  EXPECT_STREQ(msgs[0].sIPAddress, "");
  H_DATABASE_bFetchU32(FCID("SIPD"), &u32Mode, nullptr, nullptr);
  EXPECT_EQ(u32Mode, 1u);

  open();
  EXPECT_EQ(run({D, D, D, D, R}), "ggggg");  // Save without a change still tells the Ethernet task
  const std::vector<MSG_SAVE_IP_SETUP> unchanged = sent();
  ASSERT_EQ(unchanged.size(), 1u);
  EXPECT_FALSE(unchanged[0].bChanged);
}

const ARRAY_OF_STRING_PTRS First = SAME22("First?");
const ARRAY_OF_STRING_PTRS Second = SAME22("Second?");
std::vector<std::string> s_answers;
void yesFirst() { s_answers.push_back("yes first"); }
void noFirst() { s_answers.push_back("no first"); }
void yesSecond() { s_answers.push_back("yes second"); }

TEST_F(AddressEditorTest, TwoBoxesAreAnsweredInOrderAndTheKeysGoBackAfterTheSecond) {
  s_answers.clear();
  T_STARTUP_EDIT_vConfirmationSetup(&First, yesFirst, noFirst);
  T_STARTUP_EDIT_vConfirmationSetup(&Second, yesSecond, nullptr);
  EXPECT_EQ(keyTraffic(), (std::vector<long>{0xFFEF, 0x0010}));  // registered once
  EXPECT_EQ(run({U, MENU}), "bu");                                // not an answer
  EXPECT_EQ(run({L}), "-");                                       // No of the first: its callback clicks
  EXPECT_TRUE(keyTraffic().empty());
  EXPECT_EQ(T_STARTUP_EDIT_pConfHead()->pStatement, &Second);
  EXPECT_EQ(run({X}), "g");  // EXIT is No; without a callback the box clicks itself
  EXPECT_EQ(s_answers, (std::vector<std::string>{"no first"}));
  EXPECT_EQ(T_STARTUP_EDIT_pConfHead(), nullptr);
  EXPECT_EQ(keyTraffic(), (std::vector<long>{-0xFFFE}));
}

// 15 words each too wide to share a line: 15 lines from the wrap, of which the box keeps 10.
const ARRAY_OF_STRING_PTRS Long_Statement = SAME22(
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW "
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");

TEST_F(AddressEditorTest, ALongStatementKeepsItsFirstTenLines) {
  T_STARTUP_EDIT_vConfirmationSetup(&Long_Statement, nullptr, nullptr);
  const STARTUP_CONF_NODE *pNode = T_STARTUP_EDIT_pConfHead();
  ASSERT_NE(pNode, nullptr);
  EXPECT_EQ(pNode->nLines, 10);
  EXPECT_EQ(pNode->lines[9].pcStartOfText, Long_Statement[0] + 9 * 42);
  EXPECT_EQ(pNode->lines[9].u8NumberOfCharsInLine, 41);
  // The box draws without reading past its lines.
  TestBitmap screen(SCREEN_PIXELS_WIDE, SCREEN_PIXELS_HIGH);
  T_STARTUP_EDIT_vRenderConf(screen.p(), nullptr);
  run({X});
}

TEST_F(AddressEditorTest, Formatters) {
  H_DATABASE_bUpdateValueU32(FCID("SIPA"), address(10, 0, 0, 1), P_NORMAL);
  H_DATABASE_bUpdateValueU32(FCID("SMAC"), 0x12AB0F, P_NORMAL);
  char acText[32];
  T_STARTUP_EDIT_vFormatAddressLinux(FCID("SIPA"), acText);
  EXPECT_STREQ(acText, "10.0.0.1");
  T_STARTUP_EDIT_vFormatAddress(FCID("SIPA"), acText);
  EXPECT_STREQ(acText, "010.000.000.001");
  T_STARTUP_EDIT_vFormatAddress(FCID("XNOP"), acText);
  EXPECT_STREQ(acText, "000.000.000.000");
  T_STARTUP_EDIT_vFormatMACAddress(acText);
  EXPECT_STREQ(acText, "02:c0:7a:12:ab:0f");
}

}  // namespace
