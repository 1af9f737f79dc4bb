// Every fault of the simulated board at every exchange of "ReadAll", "WriteAll" and
// "VerifyAll" of the demo layout, and at every 13th exchange of a fully programmed board: the
// operation never crashes, ends within its timeouts, says what went wrong in the words of the
// step that met the fault, stops where a gated step failed and keeps what it read before it.
//
// What each step makes of a reply is written out below from the behaviour of the steps, not
// from the code, so a step that reports the wrong text, goes on where it must stop (or stops
// where it must go on) or loses a field fails here. The clean run of each operation gives the
// order of the exchanges; the fault is then put on each one in turn.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "link/board_link.h"
#include "link/traffic_log.h"
#include "model/board_config.h"
#include "operations/operation_dispatcher.h"
#include "operations/session.h"
#include "sim/demo_board.h"
#include "sim/demo_layout.h"
#include "sim/full_layout.h"
#include "sim/memory_from_config.h"
#include "sim/simulated_board.h"
#include "sim/simulated_port.h"
#include "support/crlf_lines.h"
#include "support/recording_dialogs.h"

namespace vela {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using Message = std::vector<int>;

constexpr const char* kNoResponse = "No response received, resetting bidirectional communication";
constexpr const char* kInvalidResponsePrefix = "Invalid response received, \r\nReceived: Addr = ";
constexpr const char* kInvalidResponseSuffix = "\r\nExpected: Addr = 3 Header > 95 ";
constexpr microseconds kTimeout = kReplyTimeout;
// One wait ends a microsecond after its deadline so that the loop sees it passed.
constexpr microseconds kSlack{10};
constexpr milliseconds kUnidirectionalPace{100};

enum class Fault {
  kNoReply,
  kBadChecksum,
  kGarbage,
  kWrongEcho,
  kUnsupportedEmpty,
  kUnsupportedWrongType,
};

std::string FaultName(Fault f);
void PrintTo(Fault f, std::ostream* os);

std::string FaultName(Fault f) {
  switch (f) {
    case Fault::kNoReply:
      return "NoReply";
    case Fault::kBadChecksum:
      return "BadChecksum";
    case Fault::kGarbage:
      return "Garbage";
    case Fault::kWrongEcho:
      return "WrongEcho";
    case Fault::kUnsupportedEmpty:
      return "UnsupportedEmpty";
    case Fault::kUnsupportedWrongType:
      return "UnsupportedWrongType";
  }
  return "?";
}

void PrintTo(Fault f, std::ostream* os) {
  *os << FaultName(f);
}

bool IsTimeout(Fault f) {
  return f == Fault::kNoReply || f == Fault::kBadChecksum;
}
bool IsUnsupported(Fault f) {
  return f == Fault::kUnsupportedEmpty || f == Fault::kUnsupportedWrongType;
}

void Apply(Fault f, int at, sim::Faults& faults) {
  faults.only_at_frame = at;
  switch (f) {
    case Fault::kNoReply:
      faults.no_reply = true;
      break;
    case Fault::kBadChecksum:
      faults.wrong_checksum = true;  // and no good copy after it
      break;
    case Fault::kGarbage:
      // High bytes before any address byte, then a false start (an address byte and a header
      // announcing three bytes) that the real reply's address byte must cut short.
      faults.garbage_before = {0xFF, 0x85, 0x17, 0xE3, 0xAA};
      break;
    case Fault::kWrongEcho:
      faults.wrong_address_echo = true;
      break;
    case Fault::kUnsupportedEmpty:
    case Fault::kUnsupportedWrongType:
      for (int type = 0; type < 128; ++type) faults.unsupported_types.insert(type);
      faults.unsupported_answer = f == Fault::kUnsupportedEmpty
                                      ? sim::Faults::Unsupported::kEmpty
                                      : sim::Faults::Unsupported::kWrongType;
      break;
  }
}

// One run of an operation on a fresh board, port and link.
struct Rig {
  Rig(const sim::BoardMemory& memory, const BoardConfig& start)
      : port(board, clock), link(port, clock, dialogs, log), config(start) {
    board.Memory() = memory;
    link.OpenPort(sim::kDemoBoardName, 1, nullptr);
  }

  ManualClock clock;
  sim::SimulatedBoard board;
  sim::SimulatedPort port;
  testing::RecordingDialogs dialogs;
  MemoryTrafficLog log;
  BoardLink link;
  BoardConfig config;
  ConfigView view;
  Session session{link, config, view};
  OperationDispatcher dispatcher;
};

struct Outcome {
  bool ok = false;
  std::vector<std::string> texts;
  std::string report;
  int exchanges = 0;
  microseconds elapsed{0};
  BoardConfig config;
  sim::BoardMemory memory;
  std::vector<Message> messages;
  // Frames for the board after the faulted exchange, and how many of them asked for no reply.
  int frames_after = 0;
  int unidirectional_after = 0;
};

Outcome RunOperation(const std::string& operation, const sim::BoardMemory& memory,
                     const BoardConfig& start, std::function<void(sim::Faults&)> faults = {},
                     int fault_at = -1) {
  Rig rig(memory, start);
  if (faults) faults(rig.board.GetFaults());
  rig.dispatcher.Run(operation, rig.session);
  Outcome out;
  out.ok = rig.dispatcher.LastSucceeded();
  out.texts = rig.dialogs.Texts();
  out.report = rig.dispatcher.ReportText();
  out.exchanges = rig.board.exchange_count();
  out.elapsed = rig.clock.Now();
  out.config = rig.config;
  out.memory = rig.board.Memory();
  out.messages = rig.board.Messages();
  bool after = false;
  int exchange = 0;
  for (const sim::ReceivedFrame& f : rig.board.Received()) {
    if (!f.for_this_board || f.resync || f.legacy) continue;
    if (after) {
      ++out.frames_after;
      if (!f.reply_wanted) ++out.unidirectional_after;
    } else if (f.reply_wanted && exchange++ == fault_at) {
      after = true;
    }
  }
  return out;
}

bool IsInvalidResponse(const std::string& text) {
  return text.rfind(kInvalidResponsePrefix, 0) == 0 && text.size() > 50 &&
         text.compare(text.size() - std::string(kInvalidResponseSuffix).size(), std::string::npos,
                      kInvalidResponseSuffix) == 0;
}

// The one dialog a fault of the link (not of the content) gives.
void ExpectLinkMessage(Fault f, const std::vector<std::string>& texts) {
  ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
  if (IsTimeout(f)) {
    EXPECT_EQ(texts[0], kNoResponse);
  } else {
    EXPECT_TRUE(IsInvalidResponse(texts[0])) << texts[0];
  }
}

std::string SizeText(int size, int expected) {
  return "No valid response, size = " + std::to_string(size) +
         " expected = " + std::to_string(expected);
}
// A wrong-type reply flips bit 0 of the echoed type: 112 comes back as 113.
std::string MsgText(int setting) {
  return "No valid response, msg = 113," + std::to_string(setting) + " expected = 112," +
         std::to_string(setting);
}

// What one read step says about a reply of the wrong size (an empty one) or of the wrong type,
// and whether that ends the operation there.
struct ContentRule {
  std::string empty_text;  // "" = the step says nothing
  std::string wrong_type_text;
  bool stops = false;
};

// Where an exchange sits in the clean run of an operation.
struct Layout {
  std::vector<Message> messages;
  int pins_begin = 0;    // first exchange of the pin phase
  int events_begin = 0;  // first exchange after it

  static Layout Of(const std::vector<Message>& messages, int first_pin_type, int last_pin_type) {
    Layout l;
    l.messages = messages;
    l.pins_begin = -1;
    for (int i = 0; i < static_cast<int>(messages.size()); ++i) {
      if (l.pins_begin < 0 && messages[i][0] == first_pin_type) l.pins_begin = i;
      if (messages[i][0] == last_pin_type) l.events_begin = i + 1;
    }
    return l;
  }
  bool InPins(int k) const { return k >= pins_begin && k < events_begin; }
  bool InEvents(int k) const { return k >= events_begin; }
};

ContentRule ReadAllRule(const Layout& layout, int k) {
  const Message& m = layout.messages[k];
  const int type = m[0];
  const int c = m.size() > 1 ? m[1] : -1;
  if (type == 112) {
    switch (c) {
      case 0:
        return {"GetVersion: No valid response, size <> 6", "GetVersion: No valid response", true};
      case 10:
        return {"No valid response", "No valid response", true};
      case 5:
        return {"Received Address, cannot read DCC options", "Received Address: No valid response",
                false};
      case 4:
        return {"Get DCC Address: No valid response, size <> 4",
                "Get DCC Address: No valid response", false};
      case 12:
      case 6:
      case 7:
        return {"No valid response", "No valid response", false};
      case 8:
        return {SizeText(0, 4), MsgText(8), false};
      case 2:
        return {SizeText(0, 3), MsgText(2), false};
      case 3:
        return {SizeText(0, 6), MsgText(3), false};
      case 13:
        return {SizeText(0, 4), MsgText(13), false};
      case 1:
      case 11:
        return {"No valid response size", "No valid response type", false};
    }
  }
  switch (type) {
    case 114:
    case 115:
      return {"No valid response", "No valid response", true};
    case 118:
      return {"Read Pin Address Configuration: Invalid Response",
              "Read Pin Address Configuration: Invalid Response", true};
    case 113:  // the parameter read's result is not used
      return {"No valid response", "No valid response", false};
    case 116:
      if (layout.InPins(k)) return {"", "", false};  // the initial aspect is cleared, silently
      return {"Read Event-On: Function not supported by Device",
              "Read Event-On: Function not supported by Device", false};
    case 117:
      return {"Read Event-Off: Function not supported by Device",
              "Read Event-Off: Function not supported by Device", false};
  }
  ADD_FAILURE() << "no rule for request " << ::testing::PrintToString(m);
  return {};
}

// The reads of "ReadAll" whose failure does not end the operation: the flash parameters of a
// pin (its result is not used) and the closing enable map.
bool ReadAllGoesOnWithoutReply(const Message& m) {
  return m[0] == 113 || (m[0] == 112 && m[1] == 11);
}

// A report line a verification step adds for a wrong reply, and how many exchanges follow it.
struct VerifyRule {
  std::string line;  // "" = passed over without a line
  bool prefix = false;
  bool ok = false;     // the verification still ends "Verify OK"
  int following = -1;  // exchanges after the faulted one; -1 = as many as in the clean run
};

VerifyRule VerifyAllRule(const Layout& layout, int k, bool empty) {
  const Message& m = layout.messages[k];
  const int type = m[0];
  const int c = m.size() > 1 ? m[1] : -1;
  const std::string size_or_msg = empty ? "size = 0" : "msg = 113," + std::to_string(c);
  if (type == 112) {
    switch (c) {
      case 10:
        return {"ReadIDString: No valid response", false, false, 0};
      case 1:
        return {empty ? "HWCRead: No valid response size" : "HWCRead: No valid response type",
                false, false, 0};
      case 4:  // a wrong size is reported and passed over; a wrong echo stops
        return {"DCC Address: No valid response", false, empty, empty ? -1 : 0};
      case 12:
        return {"eXtended DCC Address: No valid response", false, empty, empty ? -1 : 0};
      case 5:
        return {"DCC Options: No valid response", false, false, 0};
      case 8:
        return {"Serial Address Settings: No valid response, " + size_or_msg +
                    (empty ? " expected = 4" : " expected = 112,8"),
                false, false, 0};
      case 2:
        return {"eXtended Address: No valid response, " + size_or_msg +
                    (empty ? " expected = 3" : " expected = 112,2"),
                false, false, 0};
      case 3:
        return {"eXtended Group Mask: No valid response, " + size_or_msg +
                    (empty ? " expected = 6" : " expected = 112,3"),
                false, false, 0};
      case 6:
      case 7:
        return {"ReadLEDConfig: No valid response", false, false, 0};
      case 13:
        return {"Serial Port Config: No valid response, " + size_or_msg +
                    (empty ? " expected = 4" : " expected = 112,13"),
                false, false, 0};
      case 11:
        return {empty ? "ECInit: No valid response size" : "ECInit: No valid response type", false,
                false, 0};
    }
  }
  if (layout.InPins(k)) {
    switch (type) {
      case 113:
      case 114:
      case 115:
        return {"No valid response", false, false, 0};
      case 116:
        return {"", false, true, -1};
      case 118: {
        const std::string head = "Pin Address Configuration: Invalid Response, expected 5,118," +
                                 std::to_string(c) + ", received ";
        // The rest of the line shows the stale bytes of an empty reply.
        if (empty) return {head + "0,", true, false, -1};
        return {head + "5,119," + std::to_string(c), false, false, -1};
      }
    }
  } else if (type == 116) {
    // The remaining event-on reads are skipped; the event-off loop and the masks still run.
    return {"Read Event-On: Function not supported by Device", false, false, 33};
  } else if (type == 117) {
    return {"Read Event-Off: Function not supported by Device", false, false, 1};
  }
  ADD_FAILURE() << "no rule for request " << ::testing::PrintToString(m);
  return {};
}

// What a missing reply does to "VerifyAll". The ID string is passed over with a note (a board
// may not know it) and may still pass; the hardware configuration and the enable masks are
// named as not compared and fail their verification: the general settings after the rest of
// their reads, the event control at once.
constexpr int kGeneralReadsAfterHardware = 9;  // settings 4, 12, 5, 8, 2, 3, 6, 7, 13
VerifyRule VerifyRuleWithoutReply(const Message& m) {
  if (m[0] == 112 && m[1] == 10) {
    return {"Note: no reply to the ID string request; ID string not compared", false, true, -1};
  }
  if (m[0] == 112 && m[1] == 1) {
    return {"Hardware configuration not compared: no reply", false, false,
            kGeneralReadsAfterHardware};
  }
  if (m[0] == 112 && m[1] == 11) {
    return {"Initial event enable masks not compared: no reply", false, false, 0};
  }
  // The LED steps alone name a missing reply in the report; the others stop silently.
  const bool led = m[0] == 112 && (m[1] == 6 || m[1] == 7);
  return {led ? "ReadLEDConfig: No valid response" : "", false, false, 0};
}

// Under AddressSanitizer a run costs some thirty times as much; that build, which looks for
// memory faults on the same paths, takes every third of the positions below.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSanitizerStride = 3;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kSanitizerStride = 3;
#else
constexpr int kSanitizerStride = 1;
#endif
#else
constexpr int kSanitizerStride = 1;
#endif

// The boards the faults are put on: the demo layout, every exchange of it; the fully
// programmed board, every 13th exchange (a prime, so that every kind of request is met).
enum class BoardKind { kDemo, kFull };

// The clean runs every faulted run is compared with.
class CleanRuns {
 public:
  static const CleanRuns& Get(BoardKind kind) {
    static const CleanRuns demo(BoardKind::kDemo);
    static const CleanRuns full(BoardKind::kFull);
    return kind == BoardKind::kDemo ? demo : full;
  }

  sim::BoardMemory board_memory;
  sim::BoardMemory factory_memory;
  BoardConfig start;  // the start-up configuration
  BoardConfig read;   // the board, read
  Outcome read_all;
  Outcome write_all;
  Outcome verify_all;
  int stride = kSanitizerStride;

 private:
  explicit CleanRuns(BoardKind kind) {
    sim::SimulatedBoard board;
    factory_memory = board.Memory();
    if (kind == BoardKind::kDemo) {
      sim::LoadDemoLayout(board);
    } else {
      sim::StoreConfig(sim::FullLayout(), board.Memory());
      stride = 13 * kSanitizerStride;
    }
    board_memory = board.Memory();
    read_all = RunOperation("ReadAll", board_memory, start);
    read = read_all.config;
    write_all = RunOperation("WriteAll", factory_memory, read);
    verify_all = RunOperation("VerifyAll", board_memory, read);
  }
};

std::string BoardName(BoardKind kind) {
  return kind == BoardKind::kDemo ? "Demo" : "Full";
}
void PrintTo(BoardKind kind, std::ostream* os) {
  *os << BoardName(kind);
}

class OperationFaultsTest : public ::testing::TestWithParam<std::tuple<BoardKind, Fault>> {
 protected:
  const CleanRuns& clean_ = CleanRuns::Get(std::get<0>(GetParam()));
  Fault fault_ = std::get<1>(GetParam());

  Outcome RunFaulted(const std::string& operation, const sim::BoardMemory& memory,
                     const BoardConfig& start, int k) {
    return RunOperation(
        operation, memory, start, [&](sim::Faults& f) { Apply(fault_, k, f); }, k);
  }

  // The time a faulted run may take: the clean run's, one reply timeout when the fault loses a
  // reply, and the pause after each write once the link went unidirectional.
  void ExpectWithinTimeouts(const Outcome& clean, const Outcome& run) {
    microseconds bound = clean.elapsed + kUnidirectionalPace * run.unidirectional_after;
    if (IsTimeout(fault_)) {
      bound += kTimeout + kSlack;
      EXPECT_GE(run.elapsed, kTimeout) << "a lost reply is waited for";
    }
    EXPECT_LE(run.elapsed, bound);
    EXPECT_LT(run.elapsed, kTimeout * (clean.exchanges + 1));
  }
};

TEST(OperationFaultsCleanRuns, EveryExchangeAsksForAReplyAndNothingIsSaid) {
  for (BoardKind kind : {BoardKind::kDemo, BoardKind::kFull}) {
    SCOPED_TRACE(BoardName(kind));
    const CleanRuns& clean = CleanRuns::Get(kind);
    for (const Outcome* run : {&clean.read_all, &clean.write_all, &clean.verify_all}) {
      EXPECT_TRUE(run->ok);
      EXPECT_TRUE(run->texts.empty()) << ::testing::PrintToString(run->texts);
      EXPECT_EQ(run->exchanges, static_cast<int>(run->messages.size()));
      EXPECT_EQ(run->elapsed, microseconds{0});
    }
    EXPECT_EQ(testing::SplitCrLf(clean.verify_all.report).back(), "Verify OK");
    // A board written from what was read holds the same programs, configurations and actions.
    for (int p = 0; p < kPinCount; ++p) {
      const sim::BoardPin& written = clean.write_all.memory.pins[p];
      const sim::BoardPin& original = clean.board_memory.pins[p];
      EXPECT_EQ(written.steps, original.steps) << p;
      EXPECT_EQ(written.flash_config, original.flash_config) << p;
      EXPECT_EQ(written.event_on, original.event_on) << p;
      EXPECT_EQ(written.event_off, original.event_off) << p;
      EXPECT_EQ(written.init_nibble, original.init_nibble) << p;
    }
    // The layout has something to lose in every phase.
    EXPECT_GT(clean.read_all.exchanges, 300);
    EXPECT_NE(clean.read.Pins[0].InitialAspect, 0);
  }
  // The full layout reads back as it is, but for the texts, which the board does not keep.
  const BoardConfig& full = CleanRuns::Get(BoardKind::kFull).read;
  const BoardConfig layout = sim::FullLayout();
  for (int p = 0; p < kPinCount; ++p) {
    PinRecord expected = layout.Pins[p];
    expected.Description = expected.DeviceName = "";
    for (AspectRecord& aspect : expected.Aspects) aspect.Description = "";
    EXPECT_EQ(full.Pins[p], expected) << p;
  }
  EXPECT_EQ(full.Events, layout.Events);
  // General settings, then per pin the aspect mode, 36 steps, initial aspect, addresses and
  // flash parameters, then 64 event reads and the enable map.
  EXPECT_EQ(CleanRuns::Get(BoardKind::kFull).read_all.exchanges, 12 + 32 * 40 + 65);
}

TEST_P(OperationFaultsTest, ReadAll_FaultAtEachExchange_StopsOrGoesOnAsItShould) {
  const Outcome& clean = clean_.read_all;
  const Layout layout = Layout::Of(clean.messages, 114, 113);
  ASSERT_GT(layout.pins_begin, 0);
  ASSERT_GT(layout.events_begin, layout.pins_begin);
  for (int k = 0; k < clean.exchanges; k += clean_.stride) {
    const Message& m = clean.messages[k];
    SCOPED_TRACE("exchange " + std::to_string(k) + " " + ::testing::PrintToString(m));
    const Outcome run = RunFaulted("ReadAll", clean_.board_memory, clean_.start, k);
    ExpectWithinTimeouts(clean, run);

    bool stops = false;
    if (fault_ == Fault::kGarbage) {
      EXPECT_TRUE(run.texts.empty()) << ::testing::PrintToString(run.texts);
    } else if (IsUnsupported(fault_)) {
      const ContentRule rule = ReadAllRule(layout, k);
      const std::string& text =
          fault_ == Fault::kUnsupportedEmpty ? rule.empty_text : rule.wrong_type_text;
      EXPECT_EQ(run.texts,
                text.empty() ? std::vector<std::string>{} : std::vector<std::string>{text});
      stops = rule.stops;
    } else {
      ExpectLinkMessage(fault_, run.texts);
      stops = !ReadAllGoesOnWithoutReply(m);
    }
    EXPECT_EQ(run.ok, !stops);
    EXPECT_EQ(run.exchanges, stops ? k + 1 : clean.exchanges);

    // What was read before the fault is kept; what comes after a stop is left as it was.
    const BoardConfig& got = run.config;
    const BoardConfig& read = clean.config;
    const BoardConfig& before = clean_.start;
    if (fault_ == Fault::kGarbage) {
      EXPECT_EQ(got.Pins, read.Pins);
      EXPECT_EQ(got.Events, read.Events);
      EXPECT_EQ(got.General, read.General);
      continue;
    }
    if (k > 0) {
      EXPECT_EQ(got.General.VersionText, read.General.VersionText);
    }
    if (k < layout.pins_begin) {
      if (stops) {
        EXPECT_EQ(got.Pins, before.Pins);
      } else {
        EXPECT_EQ(got.Pins, read.Pins);
      }
    } else if (layout.InPins(k)) {
      const int pin = m[1];
      GeneralSettings general = read.General;
      if (stops) general.InitEE = before.General.InitEE;
      EXPECT_EQ(got.General, general);
      for (int p = 0; p < kPinCount; ++p) {
        if (p < pin || (!stops && p > pin)) {
          EXPECT_EQ(got.Pins[p], read.Pins[p]) << "pin " << p;
        } else if (p > pin) {
          EXPECT_EQ(got.Pins[p], before.Pins[p]) << "pin " << p;
        }
      }
      if (!stops) {
        // Only the field of the faulted read stays as it was.
        PinRecord expected = read.Pins[pin];
        if (m[0] == 113) {
          expected.PinConfig = before.Pins[pin].PinConfig;
          expected.CurrentValue = before.Pins[pin].CurrentValue;
        }
        if (m[0] == 116) expected.InitialAspect = 0;
        EXPECT_EQ(got.Pins[pin], expected);
      }
    } else {
      EXPECT_EQ(got.Pins, read.Pins);
      const bool last = m[0] == 112;
      if (!last) {
        const int pin = m[1];
        const int event = m[0] == 116 ? kEventOn : kEventOff;
        for (int p = 0; p < kPinCount; ++p) {
          for (int e = kEventOn; e <= kEventOff; ++e) {
            const bool read_before = e < event || (e == event && p < pin);
            const bool lost = stops ? !read_before : (e == event && p == pin);
            for (int i = 0; i < 4; ++i) {
              EXPECT_EQ(got.Events.At(p, e, i), (lost ? before : read).Events.At(p, e, i))
                  << "pin " << p << " event " << e << " input " << i;
            }
          }
        }
      } else {
        EXPECT_EQ(got.Events, read.Events);
      }
      GeneralSettings general = read.General;
      if (stops || last) general.InitEE = before.General.InitEE;
      EXPECT_EQ(got.General, general);
    }
    if (::testing::Test::HasFailure()) break;  // one position tells enough
  }
}

TEST_P(OperationFaultsTest, WriteAll_FaultAtEachExchange_StopsOrGoesOnAsItShould) {
  const Outcome& clean = clean_.write_all;
  for (int k = 0; k < clean.exchanges; k += clean_.stride) {
    SCOPED_TRACE("exchange " + std::to_string(k) + " " +
                 ::testing::PrintToString(clean.messages[k]));
    const Outcome run = RunFaulted("WriteAll", clean_.factory_memory, clean_.read, k);
    ExpectWithinTimeouts(clean, run);
    // On the direct link a write succeeds whenever its frame went out: no fault stops it.
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.messages, clean.messages) << "every write is sent, in the same order";
    EXPECT_EQ(run.config.Pins, clean.config.Pins);
    EXPECT_EQ(run.config.General, clean.config.General);

    if (IsTimeout(fault_)) {
      // The lost reply switches "Bidirectional Comm." off: the rest goes out unanswered.
      EXPECT_EQ(run.texts, std::vector<std::string>{kNoResponse});
      EXPECT_EQ(run.unidirectional_after, run.frames_after);
      EXPECT_EQ(run.frames_after, clean.exchanges - k - 1);
    } else {
      EXPECT_EQ(run.exchanges, clean.exchanges);
      EXPECT_EQ(run.unidirectional_after, 0);
    }
    if (fault_ == Fault::kWrongEcho) ExpectLinkMessage(fault_, run.texts);
    if (fault_ == Fault::kGarbage || IsUnsupported(fault_)) {
      // A write's reply is only checked for its frame; its content says nothing to the tool.
      EXPECT_TRUE(run.texts.empty()) << ::testing::PrintToString(run.texts);
    }

    if (IsUnsupported(fault_)) {
      // The board left exactly that one write undone.
      sim::SimulatedBoard replay;
      replay.Memory() = clean_.factory_memory;
      for (int i = 0; i < clean.exchanges; ++i) {
        if (i != k) replay.Answer(clean.messages[i]);
      }
      EXPECT_EQ(run.memory, replay.Memory());
    } else {
      // A lost or garbled reply does not undo the write.
      EXPECT_EQ(run.memory, clean.memory);
    }
    if (::testing::Test::HasFailure()) break;
  }
}

TEST_P(OperationFaultsTest, VerifyAll_FaultAtEachExchange_StopsOrGoesOnAsItShould) {
  const Outcome& clean = clean_.verify_all;
  const Layout layout = Layout::Of(clean.messages, 113, 118);
  const std::vector<std::string> clean_lines = testing::SplitCrLf(clean.report);
  const std::set<std::string> progress_lines(clean_lines.begin(), clean_lines.end() - 1);
  for (int k = 0; k < clean.exchanges; k += clean_.stride) {
    const Message& m = clean.messages[k];
    SCOPED_TRACE("exchange " + std::to_string(k) + " " + ::testing::PrintToString(m));
    const Outcome run = RunFaulted("VerifyAll", clean_.board_memory, clean_.read, k);
    ExpectWithinTimeouts(clean, run);

    VerifyRule rule;
    if (fault_ == Fault::kGarbage) {
      rule = {"", false, true, -1};
      EXPECT_TRUE(run.texts.empty()) << ::testing::PrintToString(run.texts);
    } else if (IsUnsupported(fault_)) {
      rule = VerifyAllRule(layout, k, fault_ == Fault::kUnsupportedEmpty);
      // Wrong replies go into the report, never into a message box.
      EXPECT_TRUE(run.texts.empty()) << ::testing::PrintToString(run.texts);
    } else {
      ExpectLinkMessage(fault_, run.texts);
      rule = VerifyRuleWithoutReply(m);
    }
    EXPECT_EQ(run.ok, rule.ok);
    EXPECT_EQ(run.exchanges, rule.following < 0 ? clean.exchanges : k + 1 + rule.following);

    // The report: the progress lines of the clean run, the fault's one line, the closing.
    std::vector<std::string> lines = testing::SplitCrLf(run.report);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), rule.ok ? "Verify OK" : "Verification Stopped");
    lines.pop_back();
    std::vector<std::string> added;
    for (const std::string& line : lines) {
      if (!progress_lines.count(line)) added.push_back(line);
    }
    if (rule.line.empty()) {
      EXPECT_TRUE(added.empty()) << ::testing::PrintToString(added);
    } else {
      ASSERT_EQ(added.size(), 1u) << ::testing::PrintToString(added);
      if (rule.prefix) {
        EXPECT_EQ(added[0].rfind(rule.line, 0), 0u) << added[0];
      } else {
        EXPECT_EQ(added[0], rule.line);
      }
    }
    // A verification changes neither side.
    EXPECT_EQ(run.memory, clean_.board_memory);
    EXPECT_EQ(run.config.Pins, clean_.read.Pins);
    EXPECT_EQ(run.config.Events, clean_.read.Events);
    if (::testing::Test::HasFailure()) break;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFault, OperationFaultsTest,
                         ::testing::Combine(::testing::Values(BoardKind::kDemo, BoardKind::kFull),
                                            ::testing::Values(Fault::kNoReply, Fault::kBadChecksum,
                                                              Fault::kGarbage, Fault::kWrongEcho,
                                                              Fault::kUnsupportedEmpty,
                                                              Fault::kUnsupportedWrongType)),
                         [](const auto& info) {
                           return BoardName(std::get<0>(info.param)) +
                                  FaultName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace vela
