#pragma once
// 16-bit PCM WAV input at 48000 Hz, mono or mixed down from stereo.

#include <cstdint>
#include <string>
#include <vector>

namespace mw::cli {

bool ReadWavFile(const std::string& path, std::vector<int16_t>& mono, std::string& error);

} // namespace mw::cli
