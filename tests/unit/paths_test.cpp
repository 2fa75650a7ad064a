// Paths and exclusive creation, as each system spells them.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "files/os_file.hpp"
#include "files/paths.hpp"
#include "temp_dir.hpp"

namespace qelto {
namespace {

namespace fs = std::filesystem;

// Two writers must never share one temporary name: the second creation fails and leaves the
// first writer's file as it is, while it is open and after.
TEST(CreateNewFile, SucceedsOnceForAName) {
    TempDir dir;
    const fs::path path = dir.path() / "ini$$0.CVI";
    int err = -1;
    std::FILE* first = CreateLockedFile(path, err);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(err, 0);
    std::fputs("first writer", first);
    std::fflush(first);

    EXPECT_EQ(CreateLockedFile(path, err), nullptr);
    EXPECT_EQ(err, EEXIST);
    std::fclose(first);
    EXPECT_EQ(CreateNewFile(path, err), nullptr);
    EXPECT_EQ(err, EEXIST);
    EXPECT_EQ(ReadBytes(path.string()), "first writer");
}

// The probe takes a free name of its own and removes only what it made.
TEST(DirectoryIsWritable, ProbesWithoutTouchingAFileOfTheSameName) {
    TempDir dir;
    const std::string leftOver = dir.File(".qelto-write-probe-0");
    WriteBytes(leftOver, "keep");
    EXPECT_TRUE(DirectoryIsWritable(dir.str()));
    EXPECT_EQ(ReadBytes(leftOver), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(DirectoryIsWritable(dir.File("missing")));
}

TEST(WithoutTrailingSeparator, KeepsTheSeparatorOfARoot) {
    EXPECT_EQ(WithoutTrailingSeparator("/opt/qelto//"), "/opt/qelto");
    EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
    EXPECT_EQ(WithoutTrailingSeparator("//"), "/");
#ifdef _WIN32
    EXPECT_EQ(WithoutTrailingSeparator("C:\\Qelto\\"), "C:\\Qelto");
    EXPECT_EQ(WithoutTrailingSeparator("C:\\"), "C:\\");
    EXPECT_EQ(WithoutTrailingSeparator("C:\\\\"), "C:\\");
    EXPECT_EQ(WithoutTrailingSeparator("C:/"), "C:/");
    EXPECT_EQ(WithoutTrailingSeparator("C:"), "C:");
#endif
}

}  // namespace
}  // namespace qelto
