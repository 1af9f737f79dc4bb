// The ConfigView the worker thread's operations call. It never touches a widget: it records
// what the operation asked to be shown again, and the window redisplays that on its own thread
// once the job has ended.
#pragma once

#include <atomic>

#include "operations/session.h"

namespace vela::ui {

class WindowView final : public ConfigView {
 public:
  enum Request : unsigned {
    kPin = 1u << 0,
    kAddressCounts = 1u << 1,
    kPinConfig = 1u << 2,
    kEventControl = 1u << 3,
    kAddressDisplays = 1u << 4,
    kGeneralSettings = 1u << 5,
    kHideLabelAction = 1u << 6,
  };

  void ShowPin() override { Record(kPin); }
  void ShowAddressCounts() override { Record(kAddressCounts); }
  void ShowPinConfig() override { Record(kPinConfig); }
  void RefreshEventControl() override { Record(kEventControl); }
  void ShowAddressDisplays() override { Record(kAddressDisplays); }
  void ShowGeneralSettings() override { Record(kGeneralSettings); }
  void HideLabelAction() override { Record(kHideLabelAction); }

  // The requests since the last call, and forgets them.
  unsigned Take() { return requests_.exchange(0); }

 private:
  void Record(Request r) { requests_.fetch_or(r); }

  std::atomic<unsigned> requests_{0};
};

}  // namespace vela::ui
