#include "ui/window_context.h"

#include "model/pin_table.h"

namespace vela::ui {

void WindowContext::ConfigReplaced() {
  // The order the window has always redisplayed in: strip and General tab, Event Control,
  // addresses, the pin, its configuration, then the rest.
  emit events_.generalChanged();
  emit events_.eventControlChanged();
  emit events_.addressesChanged();
  emit events_.pinChanged();
  emit events_.pinConfigChanged();
  emit events_.configReplaced();
}

void WindowContext::PinChanged() {
  emit events_.pinChanged();
}

void WindowContext::PinConfigChanged() {
  emit events_.pinConfigChanged();
}

void WindowContext::EventControlChanged() {
  emit events_.eventControlChanged();
}

void WindowContext::AddressesChanged() {
  emit events_.addressesChanged();
}

void WindowContext::GeneralChanged() {
  emit events_.generalChanged();
}

void WindowContext::NumberingChanged() {
  emit events_.numberingChanged();
  AddressesChanged();
  PinChanged();
}

void WindowContext::SelectPinAndAspect(int pin, int aspect) {
  if (!Idle() || pin < 0 || pin >= kPinCount) return;
  CommitPendingEdits();
  BoardConfig& config = Config();
  config.CurrentPin = pin;
  const AspectRectangle rect = RectangleOf(config.Current().AspectMode);
  const bool aspect_taken = aspect >= 0 && aspect < rect.aspects;
  if (aspect_taken) config.CurrentAspect = aspect;
  emit events_.pinSelected(aspect_taken);
  AddressesChanged();
  PinChanged();
  PinConfigChanged();
}

void WindowContext::SetDetailsShown(bool shown) {
  details_shown_ = shown;
  emit events_.detailsShownChanged();
}

}  // namespace vela::ui
