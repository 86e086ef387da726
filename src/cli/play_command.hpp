#pragma once
// Real-time playing from the command line: the engine on its threads, the mouse sampler on the X11
// cursor, ALSA devices; until interrupted.

namespace mw::cli {

struct RenderCliOptions;

/// Plays the patch the options name; seconds > 0 stops after that long. Exit status 0, or 1 when the
/// patch or the display cannot be had.
int PlayCommand(const RenderCliOptions& options, double seconds);

} // namespace mw::cli
