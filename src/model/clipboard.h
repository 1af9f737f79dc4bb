// The copy, paste, clear and step-shifting tools of the pin area: a pin clipboard and an
// aspect clipboard that last for the whole run, and the step insert/delete of one aspect.
#pragma once

#include "model/board_config.h"

namespace vela {

inline constexpr const char* kNothingToPaste = "Nothing to Paste";

// A full copy of one pin and the pin it came from, so a pasted device member still refers to
// the same head pin.
struct PinClipboard {
  PinRecord record;
  int source_pin = 0;
  bool has_copy = false;
};

struct AspectClipboard {
  AspectRecord record;
  bool has_copy = false;
};

void CopyPin(const BoardConfig& config, int pin, PinClipboard& clipboard);
// False (and nothing changed) when the clipboard holds no copy. The former device of the
// target is released first; the clipboard keeps its copy.
bool PastePin(BoardConfig& config, int pin, const PinClipboard& clipboard);
// Releases the pin's device, then empties its program; the address counts stay.
void ClearPin(BoardConfig& config, int pin);

void CopyAspect(const AspectRecord& aspect, AspectClipboard& clipboard);
bool PasteAspect(AspectRecord& aspect, const AspectClipboard& clipboard);
// Description empty, steps 0..8 all zero.
void ClearAspect(AspectRecord& aspect);
// Description empty; from the first step without an instruction on, everything is zero.
void CleanupAspect(AspectRecord& aspect);

// The last step row an aspect of this mode uses: 8 with four aspects, else 2.
int LastStepRow(int aspect_mode);
// Moves the steps from `row` on down by one (the last one drops out) and clears `row`.
void InsertStep(AspectRecord& aspect, int row, int last_row);
// Moves the steps after `row` up by one and clears the last row.
void DeleteStep(AspectRecord& aspect, int row, int last_row);

}  // namespace vela
