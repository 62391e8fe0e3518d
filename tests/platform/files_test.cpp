// Reading the start of files the user names, and replacing files all or nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Files.h"
#include "support/TemporaryFolder.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    std::string bytes;
    std::uint64_t length = 0;
};

TEST_F(FilesTest, ReadsAtMostTheRequestedStartAndReportsTheWholeLength) {
    folder.write("ten", "0123456789");
    ASSERT_TRUE(platform::readFileStart(folder.file("ten"), 4, bytes, length));
    EXPECT_EQ(bytes, "0123");
    EXPECT_EQ(length, 10u);
    ASSERT_TRUE(platform::readFileStart(folder.file("ten"), 10, bytes, length));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(length, 10u);
    ASSERT_TRUE(platform::readFileStart(folder.file("ten"), 100, bytes, length));
    EXPECT_EQ(length, 10u);
    folder.write("empty", "");
    ASSERT_TRUE(platform::readFileStart(folder.file("empty"), 100, bytes, length));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(length, 0u);
}

TEST_F(FilesTest, OnlyRegularFilesAreRead) {
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    ::mkdir(folder.file("dir").c_str(), 0700);
    EXPECT_FALSE(platform::readFileStart(folder.file("pipe"), 10, bytes, length));  // must not block
    EXPECT_FALSE(platform::readFileStart(folder.file("dir"), 10, bytes, length));
    EXPECT_FALSE(platform::readFileStart(folder.file("missing"), 10, bytes, length));
    EXPECT_FALSE(platform::readFileStart("/dev/zero", 10, bytes, length));
}

TEST_F(FilesTest, ReplacingKeepsPermissionsAndWritesThroughLinks) {
    folder.write("target", "old");
    ASSERT_EQ(::chmod(folder.file("target").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("target", folder.file("link").c_str()), 0);
    ASSERT_TRUE(platform::replaceFile(folder.file("link"), "new", 3));
    EXPECT_EQ(folder.read("target"), "new");
    struct stat info;
    ASSERT_EQ(::lstat(folder.file("link").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(folder.file("target").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.entryCount(), 2u);
}

}  // namespace
