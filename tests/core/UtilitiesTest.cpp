// Paths, bounded texts, files and the preferences directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>

#include "TestSupport.h"
#include "core/Utilities.h"

TEST(Paths, SplitAtTheLastSeparatorNotTheFirstCharacterBoundedAndInPlace) {
    // A path, the size of the buffers it is split into, and what extractPathname and
    // extractFilename give: an over-long path is cut to the buffer.
    const std::string longPath = "/" + std::string(400, 'd') + "/" + std::string(300, 'f');
    for (auto [path, size, pathname, filename] :
         {std::tuple{"/usr/bin/tool", kPathSize, "/usr/bin", "tool"},
          {"a/b/", kPathSize, "a/b", ""},
          {"/tool", kPathSize, "", "/tool"},
          {"tool", kPathSize, "", "tool"},
          {"a//b", kPathSize, "a/", "b"},
          {"", kPathSize, "", ""},
          {longPath.c_str(), 8, "/dddddd", "fffffff"}}) {
        char gotPathname[kPathSize], gotFilename[kPathSize];
        extractPathname(path, gotPathname, size);
        extractFilename(path, gotFilename, size);
        EXPECT_STREQ(gotPathname, pathname) << path;
        EXPECT_STREQ(gotFilename, filename) << path;
    }
    char buffer[kPathSize] = "/usr/bin/tool";  // the same buffer in and out
    extractFilename(buffer, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "tool");
    extractPathname(nullptr, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "");
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

    EXPECT_STREQ(std::unique_ptr<char[]>(newStringCopy(nullptr)).get(), "");
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
