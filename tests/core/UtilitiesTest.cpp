#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "core/Utilities.h"

namespace {
std::string pathnameOf(const char* path) {
    char out[kPathSize];
    extractPathname(path, out);
    return out;
}
std::string filenameOf(const char* path) {
    char out[kPathSize];
    extractFilename(path, out);
    return out;
}
}  // namespace

TEST(Paths, SplitAtTheLastSeparatorNotTheFirstCharacter) {
    EXPECT_EQ(pathnameOf("/usr/bin/tool"), "/usr/bin");
    EXPECT_EQ(filenameOf("/usr/bin/tool"), "tool");
    EXPECT_EQ(pathnameOf("a/b/"), "a/b");
    EXPECT_EQ(filenameOf("dir/"), "");
    EXPECT_EQ(pathnameOf("/tool"), "");
    EXPECT_EQ(filenameOf("/tool"), "/tool");
    EXPECT_EQ(pathnameOf("tool"), "");
    EXPECT_EQ(filenameOf("tool"), "tool");
    EXPECT_EQ(pathnameOf("a//b"), "a/");
    EXPECT_EQ(filenameOf("a//b"), "b");
    EXPECT_EQ(pathnameOf(nullptr), "");
    EXPECT_EQ(filenameOf(""), "");
}

TEST(Paths, SameBufferInAndOutAndOverlongPathsAreBounded) {
    char buffer[kPathSize] = "/usr/bin/tool";
    extractFilename(buffer, buffer);
    EXPECT_STREQ(buffer, "tool");
    std::string longPath = "/" + std::string(400, 'd') + "/" + std::string(300, 'f');
    EXPECT_EQ(pathnameOf(longPath.c_str()).size(), kPathSize - 1);
    EXPECT_EQ(filenameOf(longPath.c_str()).size(), kPathSize - 1);
}

TEST(Texts, CopiesAreBoundedAndTerminated) {
    char out[4];
    EXPECT_EQ(copyText(out, sizeof out, "abcdef"), 3u);
    EXPECT_STREQ(out, "abc");
    const char unterminated[3] = {'x', 'y', 'z'};
    char wide[16];
    EXPECT_EQ(copyText(wide, sizeof wide, unterminated, sizeof unterminated), 3u);
    EXPECT_STREQ(wide, "xyz");
    copyText(wide, sizeof wide, nullptr);
    EXPECT_STREQ(wide, "");

    char mixed[] = "MiXeD-09";
    makeLowercase(mixed);
    EXPECT_STREQ(mixed, "mixed-09");

    LogCapture log;
    char* copy = newStringCopy(nullptr);
    EXPECT_STREQ(copy, "");
    delete[] copy;
    EXPECT_TRUE(log.contains("newStringCopy: nil was passed as source string"));
}

TEST(Texts, TypeIdentUsesOneStaticBuffer) {
    const char* first = TypeIdentToCStr(typeCode("RPLY"));
    EXPECT_STREQ(first, "RPLY");
    TypeIdentToCStr(typeCode("EROR"));
    EXPECT_STREQ(first, "EROR");
}

TEST(Files, TextFilesAreJudgedByTheirFirst256Bytes) {
    TempHome home;
    auto late = home.path() / "late-nul";
    std::string content(300, 'a');
    content[280] = '\0';
    writeFile(late, content);
    EXPECT_TRUE(isTextFile(late.c_str()));

    auto early = home.path() / "early-nul";
    content[10] = '\0';
    writeFile(early, content);
    EXPECT_FALSE(isTextFile(early.c_str()));

    auto empty = home.path() / "empty";
    writeFile(empty, "");
    EXPECT_TRUE(isTextFile(empty.c_str()));
    EXPECT_FALSE(isTextFile((home.path() / "missing").c_str()));
    EXPECT_FALSE(fileExists(nullptr));
}

TEST(PreferencesDirectory, CreatedInHomeOrReportedMissing) {
    TempHome home;
    char buffer[kPathSize];
    EXPECT_EQ(getValidPreferencesDirectory(buffer), 0);
    EXPECT_EQ(std::string(buffer), home.path().string() + "/.oka/");
    EXPECT_TRUE(std::filesystem::is_directory(home.okaDirectory()));

    unsetenv("HOME");
    EXPECT_EQ(getValidPreferencesDirectory(buffer), kErrorPreferencesDirectory);
    EXPECT_STREQ(buffer, ".oka/");
}
