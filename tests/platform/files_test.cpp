// Reading the start of files the user names, replacing files all or nothing, folders and
// paths, and where the process stands.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

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

TEST_F(FilesTest, ReplacingCreatesOrOverwritesAndLeavesNoTemporaryFile) {
    ASSERT_TRUE(platform::replaceFile(folder.file("target"), "first", 5));
    EXPECT_EQ(folder.read("target"), "first");
    ASSERT_TRUE(platform::replaceFile(folder.file("target"), "2nd", 3));
    EXPECT_EQ(folder.read("target"), "2nd");
    ASSERT_TRUE(platform::replaceFile(folder.file("target"), "", 0));
    EXPECT_EQ(folder.read("target"), "");
    EXPECT_EQ(folder.entryCount(), 1u);

    EXPECT_FALSE(platform::replaceFile(folder.file("missing/target"), "x", 1));
    EXPECT_FALSE(platform::replaceFile("", "x", 1));
    std::filesystem::create_directory(folder.file("dir"));
    EXPECT_FALSE(platform::replaceFile(folder.file("dir"), "x", 1));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("dir")));
    EXPECT_EQ(folder.entryCount(), 2u);
}

TEST_F(FilesTest, MakesMissingFoldersAndRefusesAFileInTheWay) {
    std::string deep = platform::joinPath(platform::joinPath(folder.file("a"), "b"), "c");
    ASSERT_TRUE(platform::makeFolders(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(platform::makeFolders(deep));  // already there
    folder.write("file", "x");
    EXPECT_FALSE(platform::makeFolders(folder.file("file")));
    EXPECT_FALSE(platform::makeFolders(platform::joinPath(folder.file("file"), "below")));
    EXPECT_FALSE(platform::makeFolders(""));
}

TEST_F(FilesTest, CurrentDirectoryAndOwnProgramAreTheSystemsAnswers) {
    EXPECT_EQ(std::filesystem::path(platform::currentDirectory()),
              std::filesystem::current_path());
    std::string self = platform::executablePath();
    ASSERT_TRUE(platform::readFileStart(self, 4, bytes, length)) << self;
#ifdef _WIN32
    EXPECT_EQ(bytes.substr(0, 2), "MZ");
#else
    EXPECT_EQ(bytes, "\x7f" "ELF");
#endif
    std::size_t separator = platform::lastSeparator(self);
    ASSERT_NE(separator, std::string::npos);
    EXPECT_NE(self.substr(separator + 1).find("test_platform"), std::string::npos);
}

#ifndef _WIN32

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

TEST(PathsTest, JoinWithSlashes) {
    EXPECT_EQ(platform::joinPath("/a/b", "c.krb"), "/a/b/c.krb");
    EXPECT_EQ(platform::joinPath("/a/b/", "c.krb"), "/a/b/c.krb");
    EXPECT_EQ(platform::joinPath("", "c.krb"), "c.krb");
    EXPECT_EQ(platform::lastSeparator("/a/b\\c"), 2u);
}

#else

TEST_F(FilesTest, OnlyRegularFilesAreRead) {
    std::filesystem::create_directory(folder.file("dir"));
    EXPECT_FALSE(platform::readFileStart(folder.file("dir"), 10, bytes, length));
    EXPECT_FALSE(platform::readFileStart(folder.file("missing"), 10, bytes, length));
    EXPECT_FALSE(platform::readFileStart("NUL", 10, bytes, length));
    EXPECT_FALSE(platform::replaceFile("NUL", "x", 1));
    EXPECT_FALSE(platform::replaceFile(folder.file("dir\\NUL"), "x", 1));

    // A pipe another program offers: opening it connects, but nothing is read.
    const char* pipeName = "\\\\.\\pipe\\krv-files-test";
    HANDLE server = ::CreateNamedPipeA(pipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 64, 64,
                                       0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(platform::readFileStart(pipeName, 10, bytes, length));
    ::CloseHandle(server);
}

TEST_F(FilesTest, AReadOnlyFileIsReadButNotReplaced) {
    folder.write("locked", "old");
    ASSERT_TRUE(::SetFileAttributesA(folder.file("locked").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(platform::readFileStart(folder.file("locked"), 10, bytes, length));
    EXPECT_EQ(bytes, "old");
    EXPECT_FALSE(platform::replaceFile(folder.file("locked"), "new", 3));
    EXPECT_EQ(folder.read("locked"), "old");
    EXPECT_EQ(folder.entryCount(), 1u);
}

// Another program holding the file open without sharing it: the rename fails at the very
// end, and the data written so far must not stay behind as a temporary file.
TEST_F(FilesTest, AFileHeldOpenByAnotherProgramIsNotReplacedAndNoTemporaryFileStays) {
    folder.write("held", "old");
    HANDLE held = ::CreateFileA(folder.file("held").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(platform::replaceFile(folder.file("held"), "new", 3));
    ::CloseHandle(held);
    EXPECT_EQ(folder.read("held"), "old");
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST_F(FilesTest, ReplacingKeepsAHiddenFileHidden) {
    folder.write("hidden", "old");
    ASSERT_TRUE(::SetFileAttributesA(folder.file("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(platform::replaceFile(folder.file("hidden"), "new", 3));
    EXPECT_EQ(folder.read("hidden"), "new");
    DWORD attributes = ::GetFileAttributesA(folder.file("hidden").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(FilesTest, FoldersAreMadeAcrossBothSeparators) {
    ASSERT_TRUE(platform::makeFolders(folder.path() + "\\one/two\\three/"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("one/two/three")));
    std::string drive = folder.path().substr(0, 3);  // "C:\"
    EXPECT_TRUE(platform::makeFolders(drive));
}

TEST(PathsTest, JoinWithBackslashesUnlessTheFolderEndsInASeparator) {
    EXPECT_EQ(platform::joinPath("C:\\a\\b", "c.krb"), "C:\\a\\b\\c.krb");
    EXPECT_EQ(platform::joinPath("C:\\a\\b\\", "c.krb"), "C:\\a\\b\\c.krb");
    EXPECT_EQ(platform::joinPath("C:/a/b/", "c.krb"), "C:/a/b/c.krb");
    EXPECT_EQ(platform::joinPath("", "c.krb"), "c.krb");
    EXPECT_EQ(platform::lastSeparator("C:\\a/b\\c"), 6u);
    EXPECT_EQ(platform::lastSeparator("C:\\a\\b/c"), 6u);
    EXPECT_EQ(platform::lastSeparator("c.krb"), std::string::npos);
}

#endif

}  // namespace
