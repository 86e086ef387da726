#pragma once
// For fuzz targets whose reader takes a path: one in-memory file (memfd) per process, rewritten with
// every input and reachable by a path of its own.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace mw::fuzz {

class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("mw-fuzz-input", MFD_CLOEXEC)) {
        if (fd_ < 0) __builtin_trap();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    /// Replaces the file's contents; returns its path.
    const std::string& Hold(const uint8_t* data, size_t size) {
        if (::ftruncate(fd_, 0) != 0) __builtin_trap();
        for (size_t done = 0; done < size;) {
            const ssize_t n = ::pwrite(fd_, data + done, size - done, off_t(done));
            if (n <= 0) __builtin_trap();
            done += size_t(n);
        }
        return path_;
    }

private:
    int fd_;
    std::string path_;
};

} // namespace mw::fuzz
