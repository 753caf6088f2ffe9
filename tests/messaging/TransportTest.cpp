// The TCP transport between two processes of the environment.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "RawPeer.h"
#include "TestSupport.h"
#include "core/Utilities.h"
#include "messaging/Socket.h"
#include "messaging/TCPTransport.h"

namespace {

// Polls until a message arrives or about a second has passed.
std::unique_ptr<Message> pollForMessage(TCPTransport& transport) {
    for (int i = 0; i < 20; ++i) {
        if (Message* message = transport.poll().valueOr(nullptr))
            return std::unique_ptr<Message>(message);
    }
    return nullptr;
}

// A tool's transport keeps its end open until the receiver has read, so it
// sends on a thread of its own while the receiver is polled here.
std::unique_ptr<Message> pollWhileSending(TCPTransport& receiver,
                                          const std::function<void()>& send) {
    std::thread sending(send);
    auto received = pollForMessage(receiver);
    sending.join();
    return received;
}

// Runs `send` in a child process of user `uid` and polls `receiver` until
// the child has ended; the messages that arrived meanwhile.
std::vector<std::unique_ptr<Message>> receiveFromUser(TCPTransport& receiver, uid_t uid,
                                                      const std::function<bool()>& send) {
    pid_t child = fork();
    if (child == 0) _exit(setuid(uid) == 0 && send() ? 0 : 1);
    std::vector<std::unique_ptr<Message>> received;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Message* message = receiver.poll().valueOr(nullptr)) received.emplace_back(message);
    }
    return received;
}

class TransportTest : public ::testing::Test {
  protected:
    void SetUp() override { TCPTransport::forgetToolManagerPort(); }
    void TearDown() override { TCPTransport::forgetToolManagerPort(); }
    static std::string addFileBytes() {
        Message valid(typeCode("ADDF"), nullptr);
        valid.addTextParam("/tmp/a");
        return wireBytes(valid);
    }
    TempHome home;
    LogCapture log;
    const std::string bytes = addFileBytes();  // an 'ADDF' of /tmp/a on the wire
};

}  // namespace

TEST_F(TransportTest, MessagesTravelUnchangedBothWaysOnLoopbackAndTicklesSilently) {
    TCPTransport receiver(findFreePort());
    TCPTransport sender(0);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ASSERT_EQ(
        getsockname(receiver.listenerDescriptor(), reinterpret_cast<sockaddr*>(&bound), &length),
        0);
    EXPECT_EQ(ntohl(bound.sin_addr.s_addr), INADDR_LOOPBACK);
    Message message(typeCode("DISF"), nullptr);
    message.destination.port = receiver.getPort();
    message.sender.port = sender.getPort();
    copyText(message.sender.name, kToolNameSize, "Browser");
    message.addTextParam("/src/main.qnt");
    message.addShortParam(-3);
    message.addParam(kParamData, nullptr, 0);
    message.wantsReply = 1;
    message.replyTimeout = 750;
    auto received =
        pollWhileSending(receiver, [&] { ASSERT_TRUE(sender.sendMessage(message).ok()); });
    ASSERT_TRUE(received);
    EXPECT_EQ(wireBytes(*received), wireBytes(message));

    std::string before = log.text();
    auto tickle = [&] { ASSERT_TRUE(sender.ticklePort(receiver.getPort()).ok()); };
    EXPECT_EQ(pollWhileSending(receiver, tickle), nullptr);
    EXPECT_EQ(log.text(), before);
    EXPECT_EQ(sender.ticklePort(findFreePort()).code(), kErrorTickleFailed);
    EXPECT_TRUE(log.contains("failed to send tickle"));

    // The Tool Manager's send returns at once and keeps its end open, so a
    // tool busy for a while still identifies the sender when it reads.
    Message show(typeCode("SHOW"), nullptr);
    show.destination.port = sender.getPort();
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(receiver.sendMessage(show).ok());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(receiver.poll(0).ok());
    received = pollForMessage(sender);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->type, typeCode("SHOW"));
}

TEST_F(TransportTest, BrokenHostileAndStalledConnectionsAreDiscardedAndTheNextMessageArrives) {
    TCPTransport receiver(findFreePort());
    std::string tooMany = bytes;
    tooMany[5] = 40;
    std::string negative = bytes;
    negative[136] = char(0xff);
    for (const std::string& hostile :
         {bytes.substr(0, 100), tooMany, negative, bytes.substr(0, bytes.size() - 2)}) {
        sendRawBytes(receiver.getPort(), hostile);
        EXPECT_EQ(pollForMessage(receiver), nullptr);
    }
    // A sender that stops in the middle holds the receiver only briefly.
    std::thread stalled([port = receiver.getPort()] { sendRawBytesAndHold(port, "OPEN", 6000); });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(pollForMessage(receiver), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    stalled.join();

    sendRawBytes(receiver.getPort(), bytes);
    auto received = pollForMessage(receiver);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->type, typeCode("ADDF"));
}

// A receiver that stopped accepting (a stopped tool whose queue of
// connections is full) costs a send the connect time-out, not the system's
// minutes, and is not taken for gone.
TEST_F(TransportTest, AReceiverThatStoppedAcceptingCostsASendOnlyTheConnectTimeOut) {
    Socket stopped(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(stopped.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(stopped.get(), 1), 0);
    ASSERT_EQ(getsockname(stopped.get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
    // A queue of one holds two connections that nobody accepts.
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(sendRawBytesAndLeave(ntohs(address.sin_port), bytes));

    TCPTransport sender(0);
    Message show(typeCode("SHOW"), nullptr);
    show.destination.port = ntohs(address.sin_port);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sender.sendMessage(show).code(), kErrorSendFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(2 * TCPTransport::kConnectTimeoutMs));
    EXPECT_TRUE(log.contains("Connection timed out"));
}

TEST_F(TransportTest, BindRetriesMoveToTheNextFreePortAndThePortFileFollows) {
    // Three taken ports and a free one, below the ephemeral range, so that no
    // outgoing connection of a test running beside this one takes the fourth.
    int first = 0;
    std::vector<std::unique_ptr<RawListener>> taken;
    auto runOfFour = [&] { return taken.size() == 4 && taken.back()->port() != 0; };
    for (int attempt = 0; attempt < 50 && !runOfFour(); ++attempt) {
        taken.clear();
        first = 20000 + (int(getpid()) * 13 + attempt * 4) % 12000;
        do taken.push_back(std::make_unique<RawListener>(first + int(taken.size())));
        while (taken.size() < 4 && taken.back()->port() != 0);
    }
    if (!runOfFour()) GTEST_SKIP() << "no run of four free ports";
    taken.pop_back();  // the fourth is free again, for the manager
    TCPTransport manager(first);
    EXPECT_EQ(manager.getPort(), first + 3);
    EXPECT_EQ(readFile(home.okaDirectory() / "okaport"), std::to_string(first + 3) + "\n");
    taken.clear();

    // A tool reads the port file and listens within the 800 ports above it.
    TCPTransport::forgetToolManagerPort();
    TCPTransport tool(0);
    EXPECT_EQ(TCPTransport::getToolManagerPort(), first + 3);
    EXPECT_GE(tool.getPort(), first + 3);
    EXPECT_LT(tool.getPort(), first + 3 + 800 + 100);
}

TEST_F(TransportTest, TheToolManagerAndToolsRefuseOtherUsersAndSendersTheyCannotIdentify) {
    if (geteuid() != 0) GTEST_SKIP() << "running a client as another user needs root";
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) GTEST_SKIP() << "no user nobody";
    for (bool isManager : {true, false}) {
        SCOPED_TRACE(isManager ? "the Tool Manager" : "a tool");
        LogCapture refusals;
        {
            TCPTransport receiver(isManager ? findFreePort() : 0);
            auto send = [&] { return sendRawBytesAndWait(receiver.getPort(), bytes); };
            EXPECT_TRUE(receiveFromUser(receiver, nobody->pw_uid, send).empty());
            EXPECT_TRUE(receiveFromUser(receiver, nobody->pw_uid, send).empty());
            EXPECT_EQ(occurrences(refusals.text(),
                                  "refused connection from user " + std::to_string(nobody->pw_uid)),
                      1u);

            // A sender that closed before it was read can no longer be identified.
            sendRawBytesAndLeave(receiver.getPort(), bytes);
            EXPECT_EQ(pollForMessage(receiver), nullptr);
            EXPECT_TRUE(refusals.contains(
                "refused connection from a sender that closed before it could be identified"));

            sendRawBytes(receiver.getPort(), bytes);
            EXPECT_TRUE(pollForMessage(receiver));
        }
        setenv("OKA_ALLOW_OTHER_USERS", "1", 1);
        TCPTransport shared(isManager ? findFreePort() : 0);
        unsetenv("OKA_ALLOW_OTHER_USERS");
        auto received = receiveFromUser(
            shared, nobody->pw_uid, [&] { return sendRawBytesAndWait(shared.getPort(), bytes); });
        EXPECT_EQ(received.size(), 1u);
    }
}
