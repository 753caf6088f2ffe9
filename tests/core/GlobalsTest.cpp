#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "core/Globals.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/TCPTransport.h"
#include "workspace/Environment.h"

namespace {

// Runs initializeGlobals as the Tool Manager on a free port with the given
// environment, then cleans up.
class GlobalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TCPTransport::forgetToolManagerPort();
        setenv("OKA", "/opt/oka", 1);
        unsetenv("OKA_LOG_SIZE");
        unsetenv("OKA_LOGLEVEL");
    }
    void TearDown() override {
        TCPTransport::forgetToolManagerPort();
        unsetenv("OKA_LOG_SIZE");
        unsetenv("OKA_LOGLEVEL");
    }
    void start(bool asManager) {
        initializeGlobals("kelvane", asManager ? findFreePort() : 0);
    }
    TempHome home;
};

}  // namespace

TEST_F(GlobalsTest, RootGetsOneTrailingSlashAndResourceDirectory) {
    start(true);
    EXPECT_STREQ(gOkaDirectory, "/opt/oka/");
    EXPECT_STREQ(gResourcesDirectory, "/opt/oka/bin/resource/");
    cleanUpGlobals();
    setenv("OKA", "/opt/oka/", 1);
    start(true);
    EXPECT_STREQ(gOkaDirectory, "/opt/oka/");
    cleanUpGlobals();
}

TEST_F(GlobalsTest, LogLevelAndSizeComeFromTheEnvironmentExactly) {
    setenv("OKA_LOGLEVEL", "logAll", 1);
    setenv("OKA_LOG_SIZE", "", 1);
    start(true);
    EXPECT_EQ(gLogLevel, 2);
    EXPECT_EQ(gMaxOKALogSize, kDefaultMaxLogSize);
    cleanUpGlobals();
    setenv("OKA_LOGLEVEL", "logall", 1);
    setenv("OKA_LOG_SIZE", "1000", 1);
    start(true);
    EXPECT_EQ(gLogLevel, 0);
    EXPECT_EQ(gMaxOKALogSize, 1000);
    cleanUpGlobals();
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
    EXPECT_EQ(log.find("kelvane ../globals ("), 0u);
    EXPECT_NE(log.find("): \t\nInitializing kelvane\n\n"), std::string::npos);
    EXPECT_NE(log.find("Got port of "), std::string::npos);
}

TEST_F(GlobalsTest, MissingOkaIsReportedToTheCaller) {
    unsetenv("OKA");
    EXPECT_EQ(initializeGlobals("kelvane", findFreePort()), kErrorNoInstallation);
    cleanUpGlobals();
    auto log = readFile(home.okaDirectory() / "okalog");
    EXPECT_NE(log.find("the OKA environment variable was not set - this is bad"), std::string::npos);
}
