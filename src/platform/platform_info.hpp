#pragma once
// Facts about the platform libraries the program runs on.

#include <string>

namespace mw::platform {

/// Version of the ALSA library in use.
std::string AlsaLibraryVersion();

} // namespace mw::platform
