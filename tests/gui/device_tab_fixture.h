// What the suites of the device tab's editors start from: the window on the "Vela Device
// Configuration" tab with the board closed, so nothing is read behind a test's back.
#pragma once

#include "gui_fixture.h"

namespace vela::testing {

struct DeviceTabFixture {
  WindowUnderTest w{[] {
    WindowUnderTest::Setup s;
    s.open_port = false;
    return s;
  }()};

  DeviceTabFixture() { w.ShowTab(2); }
  // Pin `pin` (0..31) made current, typed as shown with the numbering from 1.
  void SelectPin(int pin) { w.Type("TextPAspOutput", QString::number(pin + 1)); }
};

}  // namespace vela::testing
