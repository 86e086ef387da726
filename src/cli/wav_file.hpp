#pragma once
// 16-bit PCM WAV input at 48000 Hz, mono or mixed down from stereo.

#include <cstdint>
#include <string>
#include <vector>

namespace mw::cli {

bool ReadWavFile(const std::string& path, std::vector<int16_t>& mono, std::string& error);

/// The libsndfile format of an output file by its extension (letter case ignored): ".wav" (or none)
/// 0, meaning the renderer's own exact 16-bit writer; ".flac" FLAC 16-bit; ".ogg" Ogg Vorbis. -1 for any
/// other extension.
int OutputFormatFor(const std::string& path);

/// Re-encodes a 16-bit stereo WAV file into `format` (from OutputFormatFor) at `target`, written under
/// a temporary name beside it and renamed over it when complete. False with `error` on failure.
bool EncodeWavFile(const std::string& wav, const std::string& target, int format, std::string& error);

} // namespace mw::cli
