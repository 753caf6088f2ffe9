// Paths, bounded texts, files and the preferences directory.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <tuple>

#include "TestSupport.h"
#include "core/Utilities.h"

TEST(Paths, SplitAtTheLastSeparatorNotTheFirstCharacter) {
    struct Split {
        const char* path;
        const char* pathname;  // what extractPathname gives
        const char* filename;  // what extractFilename gives
    };
    for (const Split& split : {Split{"/usr/bin/tool", "/usr/bin", "tool"}, Split{"a/b/", "a/b", ""},
                               Split{"/tool", "", "/tool"}, Split{"tool", "", "tool"},
                               Split{"a//b", "a/", "b"}, Split{"", "", ""}}) {
        char pathname[kPathSize], filename[kPathSize];
        extractPathname(split.path, pathname, sizeof pathname);
        extractFilename(split.path, filename, sizeof filename);
        EXPECT_STREQ(pathname, split.pathname) << split.path;
        EXPECT_STREQ(filename, split.filename) << split.path;
    }
}

TEST(Paths, SameBufferInAndOutAndOverlongPathsAreBounded) {
    char buffer[kPathSize] = "/usr/bin/tool";
    extractFilename(buffer, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "tool");
    extractPathname(nullptr, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
    std::string longPath = "/" + std::string(400, 'd') + "/" + std::string(300, 'f');
    char small[8] = "";
    extractPathname(longPath.c_str(), small, sizeof small);
    EXPECT_STREQ(small, "/dddddd");
    extractFilename(longPath.c_str(), small, sizeof small);
    EXPECT_STREQ(small, "fffffff");
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

    char* copy = newStringCopy(nullptr);
    EXPECT_STREQ(copy, "");
    delete[] copy;
}

TEST(Files, TextFilesAreJudgedByTheirFirst256Bytes) {
    TempHome home;
    std::string lateNul(300, 'a'), earlyNul = lateNul;
    lateNul[280] = '\0';
    earlyNul[10] = '\0';
    for (const auto& [name, content, isText] : {std::tuple{"late-nul", lateNul, true},
                                                {"early-nul", earlyNul, false},
                                                {"empty", std::string(), true}}) {
        writeFile(home.path() / name, content);
        EXPECT_EQ(isTextFile((home.path() / name).c_str()), isText) << name;
    }
    EXPECT_FALSE(isTextFile((home.path() / "missing").c_str()));
    EXPECT_FALSE(fileExists(nullptr));
}

TEST(PreferencesDirectory, CreatedInHomeOrReportedMissing) {
    TempHome home;
    char buffer[kPathSize];
    EXPECT_TRUE(getValidPreferencesDirectory(buffer, sizeof buffer).ok());
    EXPECT_EQ(std::string(buffer), home.path().string() + "/.oka/");
    EXPECT_TRUE(std::filesystem::is_directory(home.okaDirectory()));

    unsetenv("HOME");
    EXPECT_EQ(getValidPreferencesDirectory(buffer, sizeof buffer).code(),
              kErrorPreferencesDirectory);
    EXPECT_STREQ(buffer, ".oka/");
}
