// Messages, their bytes on the wire and their textual parameters.
#include <gtest/gtest.h>

#include <tuple>

#include "RawPeer.h"
#include "messaging/Message.h"
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
