// The programming guide shows the hello-tool example whole: each
// <pre class="example" data-file="NAME"> block of developer.html, its HTML
// entities read back, is the example's file NAME byte for byte, and every
// file of the example is shown. A change to the example fails here until the
// guide shows it too.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "ChildProcess.h"
#include "TestSupport.h"

namespace {

std::string unescapeHtml(std::string text) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};  // &amp; last
    for (const auto& [entity, character] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::strlen(entity), character);
    }
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

TEST(DeveloperGuide, ShowsEveryFileOfTheHelloToolExampleAsItIs) {
    std::map<std::string, std::string> shown =
        exampleBlocks(readFile(sourceFile("resources/doc/html/developer.html")));
    std::map<std::string, std::string> example;
    for (const auto& entry : std::filesystem::directory_iterator(sourceFile("examples/hello-tool")))
        example[entry.path().filename().string()] = readFile(entry.path());
    ASSERT_EQ(example.size(), 2u);
    for (const auto& [file, content] : example) {
        ASSERT_TRUE(shown.count(file)) << file << " is not shown in developer.html";
        EXPECT_EQ(shown[file], content) << "developer.html shows an older " << file;
    }
    EXPECT_EQ(shown.size(), example.size());
}

}  // namespace
