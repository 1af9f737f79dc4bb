// Switching the tunnel through the Corsan command station on and off, and putting an older
// interface box (HB-X, HB-Y, Zeto) into transparent mode, with the station's version checks.
#pragma once

#include "link/board_link.h"
#include "link/connection_options.h"

namespace vela {

// A station version from its two bytes: (first >> 3) x 1000 + (first & 7) x 100 +
// (second >> 3) x 10 + (second & 7). 0x19, 0x00 is 3100.
int StationVersion(int first, int second);

// Protocol versions from this one on carry board messages.
inline constexpr int kTunnelProtocol = 3200;

// The "Use Corsan Tunneling" check box was clicked into `checked`. Returns whether tunnelling
// is on afterwards (the box's state); the module address is kept within the new limit.
bool SetCorsanTunneling(BoardLink& link, bool checked);

// "Activate Transparent Mode". Works on the station protocol whether or not tunnelling is on.
// True when the interface box was switched.
bool ActivateTransparentMode(BoardLink& link);

// Highest module address on the wire for the link's transport.
inline int ModuleAddressLimit(const BoardLink& link) {
  return ModuleAddressMax(link.Tunnelling());
}

// "Activate Transparent Mode" is offered only while tunnelling is off.
inline bool TransparentModeOffered(const BoardLink& link) {
  return !link.Tunnelling();
}

}  // namespace vela
