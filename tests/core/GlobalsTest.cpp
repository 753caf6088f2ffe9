#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "TestSupport.h"
#include "core/Globals.h"
#include "core/Log.h"
#include "messaging/TCPTransport.h"
#include "tools/Environment.h"

namespace {

// initializeGlobals as the Tool Manager (on a free port) or as a tool.
class GlobalsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("OKA", "/opt/oka", 1);
        TearDown();
    }
    void TearDown() override {
        TCPTransport::forgetToolManagerPort();
        unsetenv("OKA_LOG_SIZE");
        unsetenv("OKA_LOGLEVEL");
    }
    void start(bool asManager) { initializeGlobals("kelvane", asManager ? findFreePort() : 0); }
    TempHome home;
};

}  // namespace

// The root gets one trailing slash; the log level and size count only when spelled exactly.
TEST_F(GlobalsTest, RootLogLevelAndLogSizeComeFromTheEnvironment) {
    for (auto [root, level, size, expectedLevel, expectedSize] :
         {std::tuple{"/opt/oka", "logAll", "", 2, kDefaultMaxLogSize},
          {"/opt/oka/", "logall", "1000", 0, 1000}}) {
        setenv("OKA", root, 1);
        setenv("OKA_LOGLEVEL", level, 1);
        setenv("OKA_LOG_SIZE", size, 1);
        start(true);
        EXPECT_STREQ(gOkaDirectory, "/opt/oka/");
        EXPECT_STREQ(gResourcesDirectory, "/opt/oka/bin/resource/");
        EXPECT_EQ(gLogLevel, expectedLevel) << level;
        EXPECT_EQ(gMaxOKALogSize, expectedSize) << size;
        cleanUpGlobals();
    }
}

TEST_F(GlobalsTest, TheToolManagerTrimsAnOverlongLogAndToolsAppend) {
    auto logPath = home.okaDirectory() / "okalog";
    setenv("OKA_LOG_SIZE", "1000", 1);
    writeFile(logPath, std::string(5000, 'x'));
    start(false);
    cleanUpGlobals();
    EXPECT_GT(std::filesystem::file_size(logPath), 5000u);

    start(true);
    cleanUpGlobals();
    std::string log = readFile(logPath);
    EXPECT_EQ(log.find("xxxx"), std::string::npos);  // the old content is gone
    EXPECT_NE(log.find("Initializing kelvane"), std::string::npos);
}
