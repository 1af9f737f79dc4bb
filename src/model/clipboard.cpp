#include "model/clipboard.h"

namespace vela {

void CopyPin(const BoardConfig& config, int pin, PinClipboard& clipboard) {
  clipboard.record = config.Pins[pin];
  clipboard.source_pin = pin;
  clipboard.has_copy = true;
}

bool PastePin(BoardConfig& config, int pin, const PinClipboard& clipboard) {
  if (!clipboard.has_copy) return false;
  config.ReleaseDevice(pin);
  PinRecord& target = config.Pins[pin];
  target = clipboard.record;
  if (target.DeviceRef != 0) {
    target.DeviceRef = static_cast<int16_t>(target.DeviceRef + clipboard.source_pin - pin);
  }
  return true;
}

void ClearPin(BoardConfig& config, int pin) {
  config.ReleaseDevice(pin);
  ClearPinProgram(config.Pins[pin]);
}

void CopyAspect(const AspectRecord& aspect, AspectClipboard& clipboard) {
  clipboard.record = aspect;
  clipboard.has_copy = true;
}

bool PasteAspect(AspectRecord& aspect, const AspectClipboard& clipboard) {
  if (!clipboard.has_copy) return false;
  aspect = clipboard.record;
  return true;
}

void ClearAspect(AspectRecord& aspect) {
  aspect.Description.clear();
  for (int s = 0; s <= 8; ++s) aspect.Steps[s] = StepRecord{};
}

void CleanupAspect(AspectRecord& aspect) {
  aspect.Description.clear();
  bool past_end = false;
  for (int s = 0; s <= 8; ++s) {
    StepRecord& step = aspect.Steps[s];
    if (past_end) {
      step = StepRecord{};
    } else if (step.Instruction == 0) {
      step = StepRecord{};
      past_end = true;
    }
  }
}

int LastStepRow(int aspect_mode) {
  return aspect_mode == 3 ? 8 : 2;
}

void InsertStep(AspectRecord& aspect, int row, int last_row) {
  if (row >= last_row) {
    aspect.Steps[last_row] = StepRecord{};
    return;
  }
  for (int i = last_row; i > row; --i) aspect.Steps[i] = aspect.Steps[i - 1];
  aspect.Steps[row] = StepRecord{};
}

void DeleteStep(AspectRecord& aspect, int row, int last_row) {
  if (row >= last_row) {
    aspect.Steps[row] = StepRecord{};
    return;
  }
  for (int i = row; i < last_row; ++i) aspect.Steps[i] = aspect.Steps[i + 1];
  aspect.Steps[last_row] = StepRecord{};
}

}  // namespace vela
