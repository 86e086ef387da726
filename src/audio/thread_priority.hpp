#pragma once
// Device threads (output writers, input capture) ask for real-time scheduling; without the right to it
// they keep normal scheduling quietly.

namespace mw {

void RaiseDeviceThreadPriority();

} // namespace mw
