#include "TestSupport.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

TempHome::TempHome() : HomeDirectory(mkdtemp(std::string("/tmp/oka-test-XXXXXX").data())) {
    const char* home = std::getenv("HOME");
    hadHome = home != nullptr;
    if (hadHome) previousHome = home;
    setenv("HOME", path().c_str(), 1);
}

// A failed test's home (log, preferences, port file, projects) is what
// explains the failure: it is kept under the build folder, and said where.
void keepHomeOfFailedTest(const std::filesystem::path& home) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (test == nullptr || !test->result()->Failed()) return;
    const char* build = std::getenv("OKA_BUILD_DIR");
    std::filesystem::path kept = std::filesystem::path(build ? build : OKA_BINARY_DIR) /
                                 "failed-tests" /
                                 (std::string(test->test_suite_name()) + "." + test->name());
    std::error_code error;
    std::filesystem::remove_all(kept, error);
    std::filesystem::create_directories(kept, error);
    std::filesystem::copy(home, kept, std::filesystem::copy_options::recursive, error);
    std::fprintf(stderr, "the home folder of the failed test %s.%s is kept in %s\n",
                 test->test_suite_name(), test->name(), kept.c_str());
}

TempHome::~TempHome() {
    if (hadHome)
        setenv("HOME", previousHome.c_str(), 1);
    else
        unsetenv("HOME");
    keepHomeOfFailedTest(path());
    std::error_code ignored;
    std::filesystem::remove_all(path(), ignored);
}

LogCapture::LogCapture() : previous(gOKALogStream) {
    gOKALogStream = &stream;
}

LogCapture::~LogCapture() {
    gOKALogStream = previous;
}

bool pollUntil(const std::function<bool()>& condition, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int findFreePort() {
    int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    close(descriptor);
    return ntohs(address.sin_port);
}

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Message* newRequest(const char (&code)[5], std::initializer_list<std::string> texts) {
    return newRequest(code, 0, texts);
}

Message* newRequest(const char (&code)[5], TypeCode subject,
                    std::initializer_list<std::string> texts) {
    auto* message = new Message(typeCodeFromBytes(code), nullptr);
    if (subject != 0) message->addTypeParam(subject);
    for (const std::string& text : texts) message->addTextParam(text.c_str());
    return message;
}

Message* newRegistration(const ToolInfo& tool, const char* path) {
    auto* message = new Message(typeCode("REGT"), nullptr);
    uint8_t bytes[kToolInfoSize];
    encodeToolInfo(tool, bytes);
    message->addParam(kParamData, bytes, kToolInfoSize);
    message->addTextParam(path);
    return message;
}

Message* newDisplayRequest(const std::string& path, TypeCode viewer, bool resolve, bool mayAsk) {
    auto* request = new Message(typeCode("DISF"), nullptr);
    request->addTextParam(path.c_str());
    request->addBoolParam(resolve);
    // What the Tool Manager does not read carries values that show whether
    // it travels unchanged.
    request->addLongParam(42);
    request->addShortParam(7);
    request->addBoolParam(true);
    request->addLongParam(-1);
    request->addBoolParam(false);
    request->addBoolParam(mayAsk);
    request->addParam(kParamData, "xyz", 3);
    request->addLongParam(9);
    request->addTypeParam(viewer);
    request->addLongParam(77);
    return request;
}

size_t occurrences(const std::string& text, const std::string& fragment) {
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + 1))
        ++count;
    return count;
}
