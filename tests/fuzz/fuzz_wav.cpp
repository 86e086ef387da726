// libFuzzer target: the input WAV reader on any byte sequence (held in an in-memory file, as the reader
// takes a path). Besides surviving every input it checks that a refusal says why and leaves no samples,
// that a 16-bit 48 kHz file is never taken for more samples than its bytes can hold, and that a converted
// one stays within the longest render (an hour at 48 kHz).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/wav_file.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static mw::fuzz::MemoryFile file;
    const std::string& path = file.Hold(data, size);
    std::vector<int16_t> mono{1, 2, 3};
    std::string error;
    std::string converted;
    if (!mw::cli::ReadWavFile(path, mono, error, &converted)) {
        if (!mono.empty() || error.empty()) __builtin_trap();
        return 0;
    }
    if (converted.empty() ? mono.size() > size / 2 : mono.size() > size_t(3600) * 48000 + 16)
        __builtin_trap();
    return 0;
}
