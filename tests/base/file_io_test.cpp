#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../i18n/language_test_support.hpp"
#include "base/file_io.hpp"

namespace mw {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& p) {
    return test::ReadBytes(p.string());
}

struct TempFolder : test::TempFolder {
    const fs::path& path = Path();
    size_t Entries() const {
        return size_t(std::distance(fs::directory_iterator(path), fs::directory_iterator()));
    }
};

TEST(ReplaceFile, ReplacesWholeKeepsModeFollowsLinksAndLeavesTheOldFileOnFailure) {
    TempFolder dir;
    const fs::path file = dir.path / "patch.mwc", link = dir.path / "link.mwc";
    std::ofstream(file) << "old contents";
    ::chmod(file.c_str(), 0640);
    fs::create_symlink(file, link);
    EXPECT_EQ(ReplaceFile(link.string(), "new"), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(file), "new");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(dir.Entries(), 2u);
    // A full disk: the file-size limit makes every write past 1000 bytes fail, in a child process.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ReplaceFile(file.string(), std::string(5000, 'x')));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EFBIG);
    EXPECT_EQ(Contents(file), "new");
    EXPECT_EQ(dir.Entries(), 2u); // no temporary file left behind
    // A device is written to, not replaced by a file.
    EXPECT_EQ(ReplaceFile("/dev/full", "x"), ENOSPC);
    struct stat info {};
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(ReplaceFile(dir.path.string(), "x"), EISDIR);
}

TEST(ReadWholeFile, ReadsWithinTheLimitAndRefusesEndlessDevicesFoldersAndMissingFiles) {
    TempFolder dir;
    const fs::path file = dir.path / "a.bin";
    std::ofstream(file, std::ios::binary) << std::string(70000, 'a');
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(file.string(), 70000, bytes), 0);
    EXPECT_EQ(bytes.size(), 70000u);
    EXPECT_EQ(ReadWholeFile(file.string(), 69999, bytes), EFBIG);
    EXPECT_EQ(ReadWholeFile("/dev/zero", 1 << 20, bytes), EFBIG);
    EXPECT_EQ(ReadWholeFile(dir.path.string(), 100, bytes), EISDIR);
    EXPECT_EQ(ReadWholeFile((dir.path / "absent").string(), 100, bytes), ENOENT);
}

} // namespace
} // namespace mw
