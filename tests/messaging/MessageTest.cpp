// Messages as bytes and text, and the protocol tables checked against their sources.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "ChildProcess.h"
#include "RawPeer.h"
#include "TestSupport.h"
#include "messaging/ErrorNames.h"
#include "messaging/IdentifyBatch.h"
#include "messaging/Message.h"
#include "messaging/MessageTypes.h"
#include "messaging/ParamText.h"
#include "messaging/WireFormat.h"

// Indices out of range, short or unterminated parameters and a 33rd one
// never lead to a read or a write outside the message.
TEST(Message, HostileParametersAreReadWithinBounds) {
    Message message;
    message.addParam(kParamS255, "abc", 3);   // no terminator
    message.addParam(kParamLong, "\x01", 1);  // too short for a LONG
    EXPECT_TRUE(message.addParam(kParamData, nullptr, 0));
    EXPECT_NE(message.getParam(2), nullptr);
    char text[8];
    EXPECT_EQ(message.getTextParam(0, text, sizeof text), 3u);
    EXPECT_STREQ(text, "abc");
    char tiny[2];
    message.getTextParam(0, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "a");
    EXPECT_EQ(
        std::make_tuple(message.getLongParam(1), message.getBoolParam(7), message.getParamType(-1),
                        message.getParam(3), message.getParamLength(5)),
        std::make_tuple(0, false, kWildcardType, nullptr, 0));
    message.changeParam(3, kParamLong, "abcd", 4);  // ignored
    EXPECT_EQ(message.paramCount, 3);
    for (int i = 3; i < kMaxMessageParams; ++i) EXPECT_TRUE(message.addBoolParam(true));
    EXPECT_FALSE(message.addBoolParam(true));
    EXPECT_EQ(message.paramCount, kMaxMessageParams);
}

// The queue and the handler list find messages by type; the wildcard matches all.
TEST(Message, CopyIsDeepAndTheWildcardTypeEqualsEveryMessage) {
    auto* original = new Message(typeCode("DISF"), nullptr);
    original->addTextParam("file");
    original->addTypeParam(typeCode("BROW"));
    original->destination.port = 4321;
    const std::string bytes = wireBytes(*original);
    Message copy(*original);
    delete original;  // a shallow copy would now read freed parameters
    EXPECT_EQ(wireBytes(copy), bytes);

    Message any(kWildcardType, nullptr), hide(typeCode("HIDE"), nullptr);
    EXPECT_TRUE(any.isEqual(&copy));
    EXPECT_TRUE(copy.isEqual(&any));
    EXPECT_FALSE(copy.isEqual(&hide));
    StringItem notAMessage("DISF");
    EXPECT_FALSE(copy.isEqual(&notAMessage));
}

TEST(WireFormat, HeaderIs444BytesAndParametersFollowWithoutPadding) {
    Message message(typeCode("GWIN"), nullptr);
    EXPECT_EQ(wireBytes(message).size(), 444u);
    message.addParam(kParamData, "12345", 5);
    message.addLongParam(1);
    message.wantsReply = 1;
    message.replyTimeout = 5000;
    message.sender.port = 4100;
    std::string bytes = wireBytes(message);
    ASSERT_EQ(bytes.size(), 453u);
    EXPECT_EQ(bytes.substr(0, 4), "GWIN");
    EXPECT_EQ(bytes.substr(4, 2), std::string("\0\x02", 2));
    EXPECT_EQ(bytes.substr(8, 8), "DATALONG");
    EXPECT_EQ(bytes.substr(136, 8), std::string("\0\0\0\x05\0\0\0\x04", 8));
    EXPECT_EQ(bytes.substr(264 + 80, 4), std::string("\0\0\x10\x04", 4));  // sender port
    EXPECT_EQ(bytes[432], 1);
    EXPECT_EQ(bytes.substr(436, 4), std::string("\0\0\x13\x88", 4));
    EXPECT_EQ(bytes.substr(444), std::string("12345\0\0\0\x01", 9));
}

TEST(WireFormat, DecodingRefusesImpossibleHeaders) {
    Message message(typeCode("ADDF"), nullptr);
    message.addTextParam("x");
    const std::string sound = wireBytes(message);
    // Where the damage goes, what is written there, and the decoder's verdict.
    const std::tuple<size_t, std::string, HeaderCheck> cases[] = {
        {0, "ADDF", HeaderCheck::ok},
        {4, std::string("\0\x21", 2), HeaderCheck::badParamCount},  // 33
        {4, "\xff\xff", HeaderCheck::badParamCount},
        {136, "\x80", HeaderCheck::badParamLength},  // negative
        {136, "\x10", HeaderCheck::tooLarge},        // 256 MiB
    };
    for (const auto& [offset, damage, expected] : cases) {
        std::string header = sound;
        header.replace(offset, damage.size(), damage);
        Message decoded;
        DeclaredParams declared;
        EXPECT_EQ(
            decodeMessageHeader(reinterpret_cast<const uint8_t*>(header.data()), decoded, declared),
            expected)
            << "offset " << offset;
    }
}

TEST(ParamText, ParsesEveryTypeAndExplainsErrors) {
    Message message;
    std::string error;
    for (const char* argument : {"S255:/tmp/x", "ST31:name", "LONG:-5", "SHRT:300", "BOOL:1",
                                 "IDNT:BROW", "DATA:00ff10"}) {
        EXPECT_TRUE(addParamFromText(message, argument, error)) << argument << ": " << error;
    }
    EXPECT_EQ(
        std::make_tuple(describeParam(message, 0), describeParam(message, 2),
                        describeParam(message, 5), describeParam(message, 6)),
        std::make_tuple("0 S255 /tmp/x", "2 LONG -5", "5 IDNT BROW", "6 DATA 3 bytes 00ff10"));
    for (const char* bad :
         {"LONG:x", "SHRT:70000", "BOOL:2", "IDNT:AB", "DATA:0", "XXXX:1", "S255"}) {
        EXPECT_FALSE(addParamFromText(message, bad, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

namespace {
Message withData(const std::string& bytes, bool asReply) {
    Message message(asReply ? kReplyMessage : typeCode("IDFB"), nullptr);
    if (asReply) message.addLongParam(0, kParamError);
    message.addParam(kParamData, bytes.data(), long(bytes.size()));
    return message;
}

std::string answerBytes(int32_t error, bool recognised, const char* type, const std::string& name,
                        const std::string& description) {
    std::string bytes;
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(char(uint32_t(error) >> shift));
    bytes.push_back(recognised ? 1 : 0);
    bytes.append(type, 4);
    return bytes + name + '\0' + description + '\0';
}
}  // namespace

TEST(IdentifyBatch, PathsAndAnswersTravelIntact) {
    std::string longest(kPathSize - 1, 'p');
    Message request(typeCode("IDFB"), nullptr);
    addBatchPaths(request, {"/src/a.qa", "", longest.c_str()});
    std::vector<const char*> paths;
    ASSERT_TRUE(readBatchPaths(request, paths));
    EXPECT_EQ(std::vector<std::string>(paths.begin(), paths.end()),
              (std::vector<std::string>{"/src/a.qa", "", longest}));

    std::vector<FileIdentification> sent(2);
    sent[0].recognised = true;
    sent[0].type = typeCode("QAGT");
    std::string name(kPathSize - 1, 'n');
    std::snprintf(sent[0].typeName, sizeof sent[0].typeName, "%s", name.c_str());
    std::snprintf(sent[0].description, sizeof sent[0].description, "Agents");
    sent[1].error = -77;
    Message reply(kReplyMessage, nullptr);
    reply.addLongParam(0, kParamError);
    addBatchAnswers(reply, sent);
    std::vector<FileIdentification> read;
    ASSERT_TRUE(readBatchAnswers(
        reply, 2, [&](size_t, const FileIdentification& answer) { read.push_back(answer); }));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(std::make_tuple(read[0].recognised, read[0].type, std::string(read[0].typeName),
                              std::string(read[0].description), read[1].error, read[1].recognised),
              std::make_tuple(true, typeCode("QAGT"), name, std::string("Agents"), -77, false));
}

TEST(IdentifyBatch, DamagedBatchesAndAnswersAreRefusedWhole) {
    std::string tooLong(kPathSize, 'p');
    std::string tooMany;
    for (int n = 0; n <= kMaxBatchPaths; ++n) tooMany += "/f" + std::to_string(n) + '\0';
    for (const std::string& bytes :
         {std::string("/src/a.qa\0/src/b", 16), tooLong + '\0', tooMany}) {
        std::vector<const char*> paths;
        EXPECT_FALSE(readBatchPaths(withData(bytes, false), paths)) << bytes.substr(0, 20);
    }
    std::string good = answerBytes(0, true, "QAGT", "Quenta agent", "Agents");
    std::string refused = answerBytes(0, false, "\0\0\0\0", "", "");
    std::string unterminated = good.substr(0, good.size() - 1);
    std::string overlong = answerBytes(0, true, "QAGT", std::string(kPathSize, 'n'), "");
    struct Case {
        std::string bytes;
        size_t expected;
        bool accepted;
    };
    for (const Case& each :
         {Case{good + refused, 2, true}, Case{good, 2, false},
          Case{good + refused + refused, 2, false}, Case{good + unterminated, 2, false},
          Case{good.substr(0, 6), 1, false}, Case{overlong, 1, false}, Case{"", 0, true}}) {
        int taken = 0;
        bool accepted = readBatchAnswers(withData(each.bytes, true), each.expected,
                                         [&](size_t, const FileIdentification&) { ++taken; });
        EXPECT_EQ(accepted, each.accepted) << each.bytes.size() << " bytes, " << each.expected;
        EXPECT_EQ(taken, accepted ? int(each.expected) : 0);
    }
    // A reply without the answers' parameter is refused too.
    Message bare(kReplyMessage, nullptr);
    bare.addLongParam(0, kParamError);
    EXPECT_FALSE(readBatchAnswers(bare, 0, [](size_t, const FileIdentification&) {}));
}

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
