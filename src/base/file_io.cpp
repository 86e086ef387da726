#include "base/file_io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace mw {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

} // namespace

std::string FileBehindLink(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path target(path);
    return (target.parent_path() / ("." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) +
                                    "-" + std::to_string(counter++)))
        .string();
}

int ReplaceFile(const std::string& requestedPath, std::string_view bytes) {
    const std::string path = FileBehindLink(requestedPath); // the file a link points to, not the link
    const std::filesystem::path target(path);
    const std::string folder = target.parent_path().string();
    if (target.filename().empty()) return EISDIR;

    struct stat old {};
    const bool hadFile = ::stat(path.c_str(), &old) == 0;
    if (hadFile && S_ISDIR(old.st_mode)) return EISDIR;
    if (hadFile && !S_ISREG(old.st_mode)) {
        // A device or a pipe is written to, never replaced by a file of the same name.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return errno;
        const int error = WriteAll(fd, bytes) ? 0 : errno;
        ::close(fd);
        return error;
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryNameBeside(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    const int createError = errno;
    if (fd < 0) {
        // The folder takes no new files, but the file itself may still be writable: write it in place.
        if (!hadFile) return createError;
        const int inPlace = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (inPlace < 0) return createError;
        bool ok = WriteAll(inPlace, bytes) && ::ftruncate(inPlace, off_t(bytes.size())) == 0 &&
                  ::fsync(inPlace) == 0;
        const int error = ok ? 0 : errno;
        if (::close(inPlace) != 0 && ok) return errno;
        return error;
    }
    if (hadFile) (void)::fchmod(fd, old.st_mode & 07777);
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return error != 0 ? error : EIO;
    }
    SyncFolder(folder);
    return 0;
}

int ReadWholeFile(const std::string& path, uint64_t maxBytes, std::string& bytes) {
    bytes.clear();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return errno;
    char chunk[65536];
    int error = 0;
    for (;;) {
        const size_t n = std::fread(chunk, 1, sizeof chunk, file);
        bytes.append(chunk, n);
        if (bytes.size() > maxBytes) {
            error = EFBIG;
            break;
        }
        if (n < sizeof chunk) {
            if (std::ferror(file)) error = EIO;
            break;
        }
    }
    std::fclose(file);
    return error;
}

} // namespace mw
