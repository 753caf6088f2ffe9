// The programming guide shows the examples as they are and the figures and
// log lines of the code: a change to either fails here until the guide follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "ChildProcess.h"
#include "TestSupport.h"
#include "core/Log.h"
#include "kelvane/ToolManagerApp.h"
#include "messaging/IdentifyBatch.h"
#include "messaging/TCPTransport.h"
#include "tools/ToolManagerWatch.h"
#include "tools/ToolRegistry.h"

namespace {

std::string unescapeHtml(std::string text) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};  // &amp; last
    for (const auto& [entity, character] : entities)
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::strlen(entity), character);
    return text;
}

// The example blocks of `html` by the file they show.
std::map<std::string, std::string> exampleBlocks(const std::string& html) {
    const std::string opening = "<pre class=\"example\" data-file=\"";
    std::map<std::string, std::string> blocks;
    for (size_t at = html.find(opening); at != std::string::npos; at = html.find(opening, at)) {
        size_t nameStart = at + opening.size();
        size_t nameEnd = html.find("\">", nameStart);
        size_t end = html.find("</pre>", nameEnd);
        if (nameEnd == std::string::npos || end == std::string::npos) break;
        blocks[html.substr(nameStart, nameEnd - nameStart)] =
            unescapeHtml(html.substr(nameEnd + 2, end - nameEnd - 2));
        at = end;
    }
    return blocks;
}

TEST(DeveloperGuide, ShowsEveryFileOfTheExamplesAsItIs) {
    std::map<std::string, std::string> shown =
        exampleBlocks(readFile(sourceFile("resources/doc/html/developer.html")));
    std::map<std::string, std::string> examples;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(sourceFile("examples"))) {
        if (!entry.is_regular_file()) continue;
        examples[std::filesystem::relative(entry.path(), sourceFile("examples")).string()] =
            readFile(entry.path());
    }
    ASSERT_EQ(examples.size(), 4u);
    for (const auto& [file, content] : examples) {
        ASSERT_TRUE(shown.count(file)) << file << " is not shown in developer.html";
        EXPECT_EQ(shown[file], content) << "developer.html shows an older " << file;
    }
    EXPECT_EQ(shown.size(), examples.size());
}

TEST(DeveloperGuide, StatesTheFiguresAndQuotesTheLogLinesOfTheCode) {
    // Compared with line breaks as spaces: the guide wraps its sentences anywhere.
    std::string text = readFile(sourceFile("resources/doc/html/developer.html"));
    std::replace(text.begin(), text.end(), '\n', ' ');
    const std::pair<const char*, long> figures[] = {
        {"every %ld ms", long(ToolManagerWatch::kCheckIntervalMs)},
        {"probes its Tool Manager every %ld seconds",
         long(ToolManagerWatch::kProbeIntervalMs / 1000)},
        {"answered for %ld seconds", long(ToolManagerWatch::kOrphanLimitMs / 1000)},
        {"at most %ld seconds after",
         long((ToolManagerWatch::kOrphanLimitMs + ToolManagerWatch::kProbeIntervalMs) / 1000)},
        {"every %ld seconds", long(ToolRegistry::kTickleIntervalMs / 1000)},
        {"the first round %ld seconds",
         long((ToolRegistry::kFirstTickleDelayMs + ToolRegistry::kTickleIntervalMs) / 1000)},
        {"is %ld ms in total", long(kDefaultReplyTimeout)},
        {"then for %ld ms", long(kShutdownDrainMs)},
        {"gives the tools %ld ms", long(kRestartGraceMs)},
        {"within %ld ms", long(TCPTransport::kReceiveBudgetMs)},
        {"the first %ld files", long(kMaxMessageParams - 1)},
        {"at most %ld parameters", long(kMaxMessageParams)},
        {"%ld by default", long(kDefaultMaxLogSize)},
        {"up to %ld paths", long(kMaxBatchPaths)},
        {"holds up to %ld files", long(kMaxBatchPaths)},
    };
    for (const auto& [pattern, value] : figures) {
        char expected[128];
        std::snprintf(expected, sizeof expected, pattern, value);
        EXPECT_NE(text.find(expected), std::string::npos)
            << "developer.html does not say \"" << expected << "\"";
    }

    // A log line quoted in the guide comes from the line of the example it names.
    std::regex logLine(R"re((hellotool|countertool) \.\./\1 \((\d+)\): )re");
    const std::map<std::string, std::string> sources{
        {"hellotool", "examples/hello-tool/hello.cpp"},
        {"countertool", "examples/counter-tool/counter.cpp"}};
    int quoted = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), logLine), end; it != end;
         ++it, ++quoted) {
        std::istringstream source(readFile(sourceFile(sources.at((*it)[1]))));
        std::string line;
        for (int n = std::stoi((*it)[2]); n > 0 && std::getline(source, line);) --n;
        EXPECT_NE(line.find("OKA_LOG("), std::string::npos) << (*it)[0] << " quotes: " << line;
    }
    EXPECT_GE(quoted, 2);
}

}  // namespace
