// The tables programs print and check messages by agree with their sources.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "ChildProcess.h"
#include "TestSupport.h"
#include "messaging/ErrorNames.h"
#include "messaging/MessageTypes.h"

TEST(ProtocolTables, EveryDeclaredMessageTypeIsListed) {
    std::string header = readFile(sourceFile("messaging/MessageTypes.h"));
    std::regex declaration(R"re(inline constexpr MessageType (k\w+)\{\s*typeCode\("(.{4})"\))re");
    int declared = 0;
    for (std::sregex_iterator it(header.begin(), header.end(), declaration), end; it != end; ++it) {
        ++declared;
        const MessageType* listed = findMessageType(typeCodeFromBytes((*it)[2].str().c_str()));
        ASSERT_NE(listed, nullptr) << (*it)[1] << " is missing from kMessageTypes";
    }
    EXPECT_EQ(declared, int(std::size(kMessageTypes)));
    EXPECT_EQ(findMessageType(typeCode("ZZZZ")), nullptr);
}

TEST(ProtocolTables, TheReadmesErrorCodesAreTheNamesOkamsgPrints) {
    std::string readme = readFile(sourceFile("README.md"));
    std::regex row(R"re(\n\| (-\d+) \| ([^|]+) \|)re");
    int rows = 0;
    for (std::sregex_iterator it(readme.begin(), readme.end(), row), end; it != end; ++it) {
        ++rows;
        const char* name = errorName(std::stoi((*it)[1].str()));
        ASSERT_NE(name, nullptr) << (*it)[1];
        EXPECT_EQ(name, (*it)[2].str());
    }
    EXPECT_GE(rows, 20);
    EXPECT_EQ(errorName(0), nullptr);
}
