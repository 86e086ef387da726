#include "platform/platform_info.hpp"

#include <alsa/asoundlib.h>

namespace mw::platform {

std::string AlsaLibraryVersion() { return snd_asoundlib_version(); }

} // namespace mw::platform
