// Cancelling a long operation: the progress in words, the one message that says what was done
// and what the configuration holds, whole parts kept after a cancelled read, and the report
// line of a cancelled verification.
#include <gtest/gtest.h>

#include <functional>

#include "operations/operation_dispatcher.h"
#include "operations/session_fixture.h"
#include "sim/demo_board.h"
#include "support/crlf_lines.h"

namespace vela {
namespace {

// The simulated board's port that can request a cancel after a given number of further
// writes, so that the cancel lands between two exchanges of one part.
class CancellingPort final : public SerialPort {
 public:
  explicit CancellingPort(SerialPort& inner) : inner_(inner) {}
  BoardLink* link = nullptr;
  int writes_left = -1;  // -1: not armed

  bool Open(const std::string& name, const std::string& settings, std::string* error) override {
    return inner_.Open(name, settings, error);
  }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  size_t BytesWaiting() override { return inner_.BytesWaiting(); }
  size_t Read(uint8_t* buffer, size_t max) override { return inner_.Read(buffer, max); }
  bool Write(const uint8_t* data, size_t size) override {
    if (writes_left > 0 && --writes_left == 0) link->RequestCancel();
    return inner_.Write(data, size);
  }
  bool WaitForData(std::chrono::microseconds timeout) override {
    return inner_.WaitForData(timeout);
  }

 private:
  SerialPort& inner_;
};

// Keeps every progress step and arms the port when the step `trigger` begins.
class StepRecorder final : public OperationObserver {
 public:
  StepRecorder(CancellingPort& port, std::string trigger, int writes)
      : port_(port), trigger_(std::move(trigger)), writes_(writes) {}
  void OnProgress(const std::string& operation, const std::string& step, int, int) override {
    steps.push_back(operation + ": " + step);
    if (step == trigger_) port_.writes_left = writes_;
  }
  std::vector<std::string> steps;

 private:
  CancellingPort& port_;
  std::string trigger_;
  int writes_;
};

class CancelTest : public ::testing::Test {
 protected:
  CancelTest() : demo_(clock_), port_(demo_.Port()), link_(port_, clock_, dialogs_, log_) {
    port_.link = &link_;
    link_.OpenPort(sim::kDemoBoardName, 1, nullptr);
  }

  // Runs `name`, cancelling `writes` messages after the step `trigger` began.
  std::vector<std::string> RunCancelled(const std::string& name, const std::string& trigger,
                                        int writes) {
    StepRecorder recorder(port_, trigger, writes);
    dispatcher_.Run(name, session_, &recorder);
    link_.ClearCancel();
    return recorder.steps;
  }

  ManualClock clock_;
  sim::DemoBoard demo_;
  CancellingPort port_;
  testing::RecordingDialogs dialogs_;
  MemoryTrafficLog log_;
  BoardLink link_;
  BoardConfig config_;
  testing::RecordingView view_;
  Session session_{link_, config_, view_};
  OperationDispatcher dispatcher_;
};

TEST_F(CancelTest, ReadAll_CancelledInsidePin12_PinsFrom12AndTheEventsKeepTheirEarlierValues) {
  demo_.Board().Memory().pins[10].aspect_mode = 2;
  demo_.Board().Memory().pins[11].aspect_mode = 3;
  const BoardConfig before = config_;
  // Two exchanges of pin 12 are answered and stored before the cancel.
  const auto steps = RunCancelled("ReadAll", "Reading pin 12 of 32", 2);

  EXPECT_EQ(steps.front(), "Read All: Reading the general settings");
  EXPECT_EQ(steps[1], "Read All: Reading pin 1 of 32");
  EXPECT_EQ(steps.back(), "Read All: Reading pin 12 of 32");
  EXPECT_EQ(dispatcher_.LastCancelText(),
            "Read All cancelled at pin 12: the general settings and pins 1\xE2\x80\x93"
            "11 were read; pins 12\xE2\x80\x93"
            "32 and the event control keep their earlier values.");
  EXPECT_FALSE(dispatcher_.LastReadComplete());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(config_.General.IdString, "Demo Layout");
  EXPECT_NE(config_.Pins[10], before.Pins[10]);
  for (int p = 11; p < kPinCount; ++p) EXPECT_EQ(config_.Pins[p], before.Pins[p]) << p;
  EXPECT_EQ(config_.Events, before.Events);
}

TEST_F(CancelTest, VerifyAll_CancelledAtAPin_ReportSaysSoBeforeVerificationStopped) {
  config_.NumberBase = 0;
  dispatcher_.Run("WriteAll", session_);
  const auto steps = RunCancelled("VerifyAll", "Verifying pin 11 (12 of 32)", 3);

  EXPECT_EQ(steps.back(), "Verify All: Verifying pin 11 (12 of 32)");
  const auto lines = testing::SplitCrLf(dispatcher_.ReportText());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "Verify All cancelled at pin 11: the general settings, the event control and pins "
            "0\xE2\x80\x93"
            "10 were compared; pins 11\xE2\x80\x93"
            "31 were not compared.");
  EXPECT_EQ(lines.back(), "Verification Stopped");
  EXPECT_FALSE(dispatcher_.LastSucceeded());
}

TEST_F(CancelTest, WriteAll_CancelledInTheEventControl_SaysWhatTheBoardWasNotSent) {
  RunCancelled("WriteAll", "Writing the event control", 1);
  EXPECT_EQ(dispatcher_.LastCancelText(),
            "Write All cancelled in the event control: the general settings and all 32 pins "
            "were written; the event control and the address settings were not written.");
  EXPECT_FALSE(dispatcher_.LastWriteConfirmed());
  RunCancelled("WriteDevice", "Writing pin 1 of the device", 1);
  EXPECT_EQ(dispatcher_.LastCancelText(),
            "Write Device cancelled at pin 1: pin 1 and the device's pins after it were not "
            "written.");
}

TEST_F(CancelTest, ReadPin_Cancelled_ThePinKeepsItsEarlierValues) {
  demo_.Board().Memory().pins[3].aspect_mode = 3;
  config_.CurrentPin = 3;
  const PinRecord before = config_.Pins[3];
  RunCancelled("ReadPin", "Reading pin 4", 2);
  EXPECT_EQ(dispatcher_.LastCancelText(), "Read Pin cancelled: pin 4 keeps its earlier values.");
  EXPECT_EQ(config_.Pins[3], before);
}

}  // namespace
}  // namespace vela
