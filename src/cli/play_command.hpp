#pragma once
// Real-time playing from the command line: a live session (the engine on its threads, the mouse sampler
// on the X11 cursor, ALSA devices) with the user interface's 10 ms poll, so learned MIDI sliders and
// notes caught by a sequence module work as in the window; until interrupted.

namespace mw::cli {

struct RenderCliOptions;

/// Plays the patch the options name; seconds > 0 stops after that long. Exit status 0, or 1 when the
/// patch or the display cannot be had.
int PlayCommand(const RenderCliOptions& options, double seconds);

/// Prints the ALSA playback and capture PCMs and the MIDI input ports with the device numbers patch
/// files use (OutputDeviceID, InputDeviceID) and the names --output-device and --input-device take.
int ListDevicesCommand();

} // namespace mw::cli
