// What every installed program says about itself: a new option missing from
// its manual page, or a page man no longer formats cleanly, fails here; so
// does a class the reference made from the headers leaves undescribed.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "ChildProcess.h"
#include "TestSupport.h"

namespace {

class ProgramOptions : public ::testing::TestWithParam<const char*> {
  protected:
    std::string program() const { return GetParam(); }
    CommandRun run(const std::string& arguments) const {
        return runCommand(builtProgram(program()).string() + " " + arguments + " 2>&1");
    }
    std::string manualPage() const { return sourceFile("man/" + program() + ".1").string(); }
};

TEST_P(ProgramOptions, VersionIsTheBuildsHelpWinsAndEveryOptionIsInTheManualPage) {
    CommandRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, program() + " " + OKA_VERSION + "\n");
    CommandRun help = run("--no-such-option --help");
    ASSERT_EQ(help.status, 0) << help.output;
    ASSERT_EQ(help.output.rfind("Usage: " + program(), 0), 0u) << help.output;

    // In roff a minus sign is written \-, so --tool-version reads \-\-tool\-version.
    std::string page = readFile(manualPage());
    std::set<std::string> options;
    std::regex option(R"(--[a-z][a-z-]*)");
    for (std::sregex_iterator it(help.output.begin(), help.output.end(), option), end; it != end;
         ++it)
        options.insert(it->str());
    EXPECT_TRUE(options.count("--version")) << help.output;
    for (const std::string& name : options) {
        std::string escaped = std::regex_replace(name, std::regex("-"), "\\-");
        EXPECT_NE(page.find(escaped), std::string::npos) << name << " is not in " << manualPage();
    }
}

TEST_P(ProgramOptions, ManualPageFormatsWithoutWarnings) {
    CommandRun formatted =
        runCommand("LC_ALL=C MANWIDTH=80 man --warnings -l " + manualPage() + " 2>&1 >/dev/null");
    EXPECT_EQ(formatted.status, 0);
    EXPECT_EQ(formatted.output, "");
}

INSTANTIATE_TEST_SUITE_P(Installed, ProgramOptions,
                         ::testing::Values("kelvane", "okamsg", "okadb", "okasample"));

TEST(ClassReference, EveryClassHasItsOneLineDescription) {
    std::filesystem::path index =
        std::filesystem::path(std::getenv("OKA_BUILD_DIR")) / "doc/classes/annotated.html";
    if (!std::filesystem::exists(index)) GTEST_SKIP() << "built without Doxygen";
    std::string page = readFile(index);
    std::regex row(R"(class="el"[^>]*>([^<]+)</a>.*?<td class="desc">(.*?)</td>)");
    int classes = 0;
    for (std::sregex_iterator match(page.begin(), page.end(), row), end; match != end;
         ++match, ++classes)
        EXPECT_NE((*match)[2].str(), "") << (*match)[1].str()
                                         << " has no description: a comment right "
                                            "above it, or the header's first sentence, gives one";
    EXPECT_GT(classes, 50);
}

}  // namespace
