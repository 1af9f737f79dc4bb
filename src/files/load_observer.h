// What a host redisplays after a file changed the configuration. The loaders have already
// recomputed the address start tables when they call it; the GUI shows the model anew, the CLI
// and most tests need nothing.
#pragma once

namespace vela {

// Redisplay requests of the file loaders.
class LoadObserver {
 public:
  virtual ~LoadObserver() = default;
  // A data file replaced the configuration: the pin, its configuration, the address counts and
  // displays, the event control and the general settings.
  virtual void DataFileLoaded() {}
  // A device was copied onto pins: the current pin, its configuration, the address counts and
  // the current pin's addresses.
  virtual void DeviceLoaded() {}
};

}  // namespace vela
