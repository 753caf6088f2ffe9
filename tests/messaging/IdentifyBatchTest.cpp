// The 'IDFB' exchange as bytes: each side reads what another program sent.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "messaging/IdentifyBatch.h"

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
