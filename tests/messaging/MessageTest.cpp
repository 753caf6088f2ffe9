#include <gtest/gtest.h>

#include <cstring>

#include "RawPeer.h"
#include "TestSupport.h"
#include "messaging/Message.h"
#include "messaging/ParamText.h"
#include "messaging/WireFormat.h"

TEST(Message, ParameterAccessOutOfRangeIsHarmless) {
    Message message(typeCode("ADDF"), nullptr);
    message.addTextParam("/tmp/a.qnt");
    EXPECT_EQ(message.getParamType(-1), kWildcardType);
    EXPECT_EQ(message.getParamType(1), kWildcardType);
    EXPECT_EQ(message.getParam(1), nullptr);
    EXPECT_EQ(message.getParamLength(5), 0);
    message.changeParam(3, kParamLong, "abcd", 4);  // ignored
    EXPECT_EQ(message.paramCount, 1);
    EXPECT_EQ(message.getParamLength(0), 11);
}

TEST(Message, EmptyParametersAndTheThirtyThirdIsRefused) {
    LogCapture log;
    Message message;
    EXPECT_EQ(message.type, kUntypedMessage);
    EXPECT_EQ(message.replyTimeout, kDefaultReplyTimeout);
    EXPECT_TRUE(message.addParam(kParamData, nullptr, 0));
    EXPECT_EQ(message.getParamLength(0), 0);
    EXPECT_NE(message.getParam(0), nullptr);
    for (int i = 1; i < kMaxMessageParams; ++i) EXPECT_TRUE(message.addBoolParam(true));
    EXPECT_FALSE(message.addBoolParam(true));
    EXPECT_EQ(message.paramCount, kMaxMessageParams);
}

TEST(Message, CopyIsDeep) {
    ToolInfo destination;
    destination.port = 4321;
    auto* original = new Message(typeCode("DISF"), &destination);
    original->addTextParam("file");
    original->addLongParam(-7);
    original->addTypeParam(typeCode("BROW"));
    original->wantsReply = 1;
    original->replyTimeout = 1234;
    Message copy(*original);
    EXPECT_NE(copy.getParam(0), original->getParam(0));
    delete original;
    EXPECT_EQ(copy.paramCount, 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(copy.getParam(0)), "file");
    EXPECT_EQ(copy.getLongParam(1), -7);
    EXPECT_EQ(copy.getTypeParam(2), typeCode("BROW"));
    EXPECT_EQ(copy.destination.port, 4321);
    EXPECT_EQ(copy.wantsReply, 1);
    EXPECT_EQ(copy.replyTimeout, 1234u);
}

TEST(Message, WildcardTypeEqualsEveryMessage) {
    Message any(kWildcardType, nullptr), show(typeCode("SHOW"), nullptr),
        hide(typeCode("HIDE"), nullptr);
    EXPECT_TRUE(any.isEqual(&show));
    EXPECT_TRUE(show.isEqual(&any));
    EXPECT_FALSE(show.isEqual(&hide));
    StringItem notAMessage("SHOW");
    EXPECT_FALSE(show.isEqual(&notAMessage));
}

TEST(Message, TypedReadsNeverOverrunShortOrUnterminatedParameters) {
    Message message;
    message.addParam(kParamS255, "abc", 3);  // no terminator
    message.addParam(kParamLong, "\x01", 1);  // too short for a LONG
    char text[8];
    EXPECT_EQ(message.getTextParam(0, text, sizeof text), 3u);
    EXPECT_STREQ(text, "abc");
    char tiny[2];
    message.getTextParam(0, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "a");
    EXPECT_EQ(message.getLongParam(1), 0);
    EXPECT_FALSE(message.getBoolParam(7));
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
    std::string bytes = wireBytes(message);
    auto decode = [](std::string header) {
        Message decoded;
        DeclaredParams declared;
        return decodeMessageHeader(reinterpret_cast<const uint8_t*>(header.data()), decoded,
                                   declared);
    };
    EXPECT_EQ(decode(bytes), HeaderCheck::ok);
    std::string badCount = bytes;
    badCount[4] = 0, badCount[5] = 33;
    EXPECT_EQ(decode(badCount), HeaderCheck::badParamCount);
    badCount[4] = char(0xff), badCount[5] = char(0xff);
    EXPECT_EQ(decode(badCount), HeaderCheck::badParamCount);
    std::string negative = bytes;
    negative[136] = char(0x80);
    EXPECT_EQ(decode(negative), HeaderCheck::badParamLength);
    std::string huge = bytes;
    huge[136] = 0x10;
    EXPECT_EQ(decode(huge), HeaderCheck::tooLarge);
}

TEST(ParamText, ParsesEveryTypeAndExplainsErrors) {
    Message message;
    std::string error;
    for (const char* argument : {"S255:/tmp/x", "ST31:name", "LONG:-5", "SHRT:300", "BOOL:1",
                                 "IDNT:BROW", "DATA:00ff10"}) {
        EXPECT_TRUE(addParamFromText(message, argument, error)) << argument << ": " << error;
    }
    EXPECT_EQ(describeParam(message, 0), "0 S255 /tmp/x");
    EXPECT_EQ(describeParam(message, 2), "2 LONG -5");
    EXPECT_EQ(describeParam(message, 3), "3 SHRT 300");
    EXPECT_EQ(describeParam(message, 4), "4 BOOL 1");
    EXPECT_EQ(describeParam(message, 5), "5 IDNT BROW");
    EXPECT_EQ(describeParam(message, 6), "6 DATA 3 bytes 00ff10");
    for (const char* bad : {"LONG:x", "SHRT:70000", "BOOL:2", "IDNT:AB", "DATA:0", "XXXX:1", "S255"}) {
        EXPECT_FALSE(addParamFromText(message, bad, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}
