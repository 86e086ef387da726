#pragma once
// Audio input files: any file libsndfile reads, as 16-bit mono at 48000 Hz (the channels mixed down,
// other rates converted with libsamplerate); and the output formats of a render.

#include <cstdint>
#include <string>
#include <vector>

namespace mw::cli {

/// Reads an audio file as 16-bit mono at 48000 Hz. A 16-bit PCM WAV at 48000 Hz is taken exactly (mono,
/// or the channels' mean rounded towards zero); any other format, rate or channel count is converted,
/// and `note` (when given) says what was converted. False with `error` when it cannot be read.
bool ReadWavFile(const std::string& path, std::vector<int16_t>& mono, std::string& error,
                 std::string* note = nullptr);

/// The libsndfile format of an output file by its extension (letter case ignored): ".wav" (or none)
/// 0, meaning the renderer's own exact 16-bit writer; ".flac" FLAC 16-bit; ".ogg" Ogg Vorbis. -1 for any
/// other extension.
int OutputFormatFor(const std::string& path);

/// Re-encodes a 16-bit stereo WAV file into `format` (from OutputFormatFor) at `target`, written under
/// a temporary name beside it and renamed over it when complete. False with `error` on failure.
bool EncodeWavFile(const std::string& wav, const std::string& target, int format, std::string& error);

} // namespace mw::cli
