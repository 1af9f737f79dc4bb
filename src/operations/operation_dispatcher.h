// The queue of long operations: a button stores an operation name as PendingOperation; the
// next operation tick takes it (copy, then clear, so it runs once) and runs its chain of board
// exchanges in the fixed order, each gated step only after the previous one succeeded, the
// closing steps in any case. A second request before the tick replaces the first.
#pragma once

#include <string>
#include <vector>

#include "operations/session.h"

namespace vela {

// Told what a running operation is doing, so a window can show a progress bar and velacli a
// progress line. Called on the thread that runs the operation.
class OperationObserver {
 public:
  virtual ~OperationObserver() = default;
  // operation: as the user knows it ("Read All"); step: what it does now, in words ("Reading
  // pin 22 of 32"); done/total: pins done of 32 (total 0 = no count).
  virtual void OnProgress(const std::string& operation, const std::string& step, int done,
                          int total) = 0;
};

class OperationDispatcher {
 public:
  // The fifteen operation names, exactly as the buttons queue them.
  static const std::vector<std::string>& OperationNames();
  static bool IsVerification(const std::string& name);
  // The operation as the user knows it: "Read All" for "ReadAll".
  static std::string Title(const std::string& name);
  // The operations that read the board into the configuration.
  static bool IsRead(const std::string& name);
  // Reads that replace a whole table of the configuration (every pin, the event control):
  // the window asks before they overwrite edits that were not saved.
  static bool ReplacesTables(const std::string& name);

  // The checks a button makes before queueing: a closed port for the verifications ("Select
  // communications port"), a referral that is not a device head for "WriteDevice" ("Referral
  // is not a device", warning). False means nothing is queued.
  static bool CheckBeforeQueue(const std::string& name, Session& session);

  // PendingOperation.
  void Queue(const std::string& name) { pending_ = name; }
  const std::string& Pending() const { return pending_; }
  // The tick's first step: copy PendingOperation and clear it.
  std::string TakePending();

  // Runs one operation by name; an empty or unknown name does nothing and returns false.
  bool Run(const std::string& name, Session& session, OperationObserver* observer = nullptr);

  // The verification report of the last verification, lines ended by CR LF.
  const std::string& ReportText() const { return report_; }
  // Whether every gated step of the last Run succeeded (a verification: found no difference).
  bool LastSucceeded() const { return last_ok_; }

  // What the exchanges of the last Run came to (see ExchangeTally).
  const ExchangeTally& LastTally() const { return last_tally_; }
  // A read the caller may keep: every gated step succeeded and no exchange of the operation
  // produced a failure message, also where the operation's own chain went on past one.
  bool LastReadComplete() const { return last_ok_ && last_tally_.failures == 0; }
  // A write the board confirmed: every gated step succeeded and no message that expected a
  // confirmation went without one (unidirectional writes are unconfirmed by design).
  bool LastWriteConfirmed() const { return last_ok_ && last_tally_.LostConfirmations() == 0; }

  // After a cancelled Run: what was done and what the configuration now holds ("Read All
  // cancelled at pin 12: ..."); a verification's report carries the same line. Empty otherwise.
  const std::string& LastCancelText() const { return cancel_text_; }

  // Whether the last Run was a verification, so the host shows the report window.
  bool ReportPending() const { return report_pending_; }
  void ClearReportPending() { report_pending_ = false; }

 private:
  std::string pending_;
  std::string report_;
  std::string cancel_text_;
  bool report_pending_ = false;
  bool last_ok_ = false;
  ExchangeTally last_tally_;
};

}  // namespace vela
