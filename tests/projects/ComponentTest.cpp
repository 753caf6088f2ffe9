// Components, their grouping by type, the project list's rows, and views.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "projects/ComponentView.h"
#include "projects/EngineInfo.h"
#include "projects/MasterComponentList.h"
#include "projects/OKAFile.h"

namespace {
constexpr TypeCode kAgentType = typeCode("QAGT");

OKAFile* fileOfType(const char* path, TypeCode type) {
    auto* file = new OKAFile(path);
    file->setTypeIdent(type);
    return file;
}

std::vector<std::string> listNames(const MasterComponentList& lists) {
    std::vector<std::string> names;
    for (long i = 0; i < lists.getCount(); ++i) names.push_back(lists.getNthList(i)->getName());
    return names;
}
}  // namespace

// Engines are equal by machine and port, or by unique id once edited.
TEST(EngineInfoTest, Equality) {
    EngineInfo first("alpha", 7777);
    EngineInfo second("alpha", 7777);
    EngineInfo other("beta", 7777);
    EngineInfo edited("gamma", 1, first.getUniqueId());
    OKAFile file("alpha");
    EXPECT_NE(first.getUniqueId(), second.getUniqueId());
    EXPECT_EQ(
        (std::vector<bool>{first.isEqual(&second), first.isEqual(&other), edited.isEqual(&first),
                           first.isEqual(nullptr), first.isEqual(&file)}),
        (std::vector<bool>{true, false, true, false, false}));
}

TEST(OKAFileTest, EqualityAndOrderByBaseName) {
    OKAFile a("/one/zeta.qa");
    OKAFile b("/two/alpha.qa");
    OKAFile sameAsA("/one/zeta.qa");
    EXPECT_GT(a.compare(&b), 0);  // zeta after alpha, whatever the directories
    EXPECT_TRUE(a.isEqual(&sameAsA));
    sameAsA.setTypeIdent(kAgentType);
    EXPECT_FALSE(a.isEqual(&sameAsA));  // the type is part of the identity
    OKAFile noPath(nullptr);
    OKAFile noPathEither(nullptr);
    EXPECT_TRUE(noPath.isEqual(&noPathEither));
    EXPECT_FALSE(noPath.isEqual(&a));
}

TEST(MasterComponentListTest, FilesUnderTheirTypeWithNamesAndDescriptions) {
    int changes = 0;
    MasterComponentList lists([&] { ++changes; });
    EXPECT_TRUE(lists.addComponent(new EngineInfo("alpha", 1), nullptr, nullptr).ok());
    EXPECT_TRUE(lists.addComponent(new OKAFile("/p/raw"), "", nullptr).ok());
    EXPECT_TRUE(lists.addComponent(fileOfType("/p/b.qa", kAgentType), "agent", "Agents").ok());
    EXPECT_TRUE(lists.addComponent(fileOfType("/p/a.qa", kAgentType), "ignored", "ignored").ok());
    EXPECT_EQ(listNames(lists),
              (std::vector<std::string>{"engines", "unidentified files", "agent files"}));
    EXPECT_STREQ(lists.getComponentList(kAgentType)->getDescription(), "Agents");
    EXPECT_EQ(changes, 4);

    // An equal file replaces its twin in place; an equal engine likewise.
    EXPECT_TRUE(lists.addComponent(fileOfType("/p/b.qa", kAgentType), "agent", "Agents").ok());
    EXPECT_TRUE(lists.addComponent(new EngineInfo("alpha", 1), nullptr, nullptr).ok());
    EXPECT_EQ(lists.getComponentList(kAgentType)->getCount(), 2);
    EXPECT_EQ(lists.getComponentList(kEngineType)->getCount(), 1);

    // The last member's removal takes its list along.
    Item* raw = lists.getComponentList(typeCode("????"))->get(0);
    EXPECT_EQ(lists.removeComponent(raw), raw);
    delete raw;
    EXPECT_EQ(lists.lookUpComponentList(typeCode("????")), -1);
    EXPECT_EQ(lists.getComponentList(typeCode("????")), nullptr);
    OKAFile stranger("/p/none");
    EXPECT_EQ(lists.removeComponent(&stranger), nullptr);
    // Removing by an equal copy hands back the member itself.
    Item* member = lists.getComponentList(kAgentType)->get(0);
    OKAFile copy("/p/b.qa");
    copy.setTypeIdent(kAgentType);
    EXPECT_EQ(lists.removeComponent(&copy), member);
    delete member;
}

TEST(MasterComponentListTest, RowsEncodeHeadersAndMembers) {
    MasterComponentList lists(nullptr);
    EXPECT_TRUE(lists.addComponent(fileOfType("/p/a.qa", kAgentType), "agent", "Agents").ok());
    EXPECT_TRUE(lists.addComponent(fileOfType("/p/b.qa", kAgentType), "agent", "Agents").ok());
    EXPECT_TRUE(lists.addComponent(new EngineInfo("alpha", 1), nullptr, nullptr).ok());
    std::vector<uint32_t> values = lists.projectListRows();
    EXPECT_EQ(values, (std::vector<uint32_t>{0xFFFF0000u, 1, 2, 0xFFFF0001u, 0x10001u}));
    std::vector<std::string> texts;
    for (uint32_t value : values) {
        char text[kItemTextSize];
        lists.rowText(value, text, sizeof text);
        texts.push_back(text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"agent files", "a.qa", "b.qa", "engines", "alpha, 1"}));
    EXPECT_EQ(lists.componentOfRow(2), lists.getNthList(0)->get(1));
    EXPECT_EQ(lists.componentOfRow(0xFFFF0000u), nullptr);
    EXPECT_EQ(lists.componentOfRow(0), nullptr);
    EXPECT_EQ(lists.componentOfRow(0x50001u), nullptr);  // no such list
    EXPECT_EQ(lists.componentOfRow(9), nullptr);         // no such member
}

TEST(ComponentViewTest, FiltersByTypesTheDialogNeverOffers) {
    OKAFile agent("/p/a.qa");
    agent.setTypeIdent(kAgentType);
    EngineInfo engine("alpha", 1);

    // Patterns and the types the filter dialog offers are tested through
    // the workspace.
    ComponentView view;
    view.setFilterMode(kFilterByType);
    view.setFilterComponentType(kEngineType, "engines");
    EXPECT_TRUE(view.passesFilter(&engine));
    EXPECT_FALSE(view.passesFilter(&agent));
    EXPECT_FALSE(view.passesFilter(nullptr));
    EXPECT_STREQ(view.getLabelText(), "engines");
    view.setFilterComponentType(0, "kept");  // type 0 changes nothing
    EXPECT_STREQ(view.getFilterTypeName(), "engines");
    view.setFilterComponentType(typeCode("GONE"), "gone files");
    EXPECT_FALSE(view.passesFilter(&engine));
    EXPECT_STREQ(view.getLabelText(), "gone files");
}
