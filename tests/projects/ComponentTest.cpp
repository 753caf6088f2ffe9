// Components, their grouping by type, the project list's rows, and views.
#include <memory>
#include <string>
#include <vector>

#include "ProjectFixture.h"
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
}  // namespace

// Engines are equal by machine and port, or by unique id once edited; files
// by path and type, and are ordered by base name.
TEST(ComponentTest, EqualityAndOrder) {
    EngineInfo first("alpha", 7777), second("alpha", 7777), other("beta", 7777);
    EngineInfo edited("gamma", 1, first.getUniqueId());
    // The file alpha is named like the engine.
    OKAFile alpha("alpha"), file("/one/zeta.qa"), sameFile("/one/zeta.qa");
    OKAFile noPath(nullptr), noPathEither(nullptr);
    std::unique_ptr<OKAFile> agent(fileOfType("/one/zeta.qa", kAgentType));
    EXPECT_NE(first.getUniqueId(), second.getUniqueId());
    EXPECT_EQ((std::vector<bool>{
                  first.isEqual(&second), first.isEqual(&other), edited.isEqual(&first),
                  first.isEqual(nullptr), first.isEqual(&alpha), file.isEqual(&sameFile),
                  file.isEqual(agent.get()), noPath.isEqual(&noPathEither), noPath.isEqual(&file)}),
              (std::vector<bool>{true, false, true, false, false, true, false, true, false}));
    EXPECT_GT(file.compare(&alpha), 0);  // by base name: a full path would sort '/' first
}

TEST(MasterComponentListTest, FilesUnderTheirTypeAndTheRowsThatShowThem) {
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
    std::vector<uint32_t> values = lists.projectListRows();
    EXPECT_EQ(values, (std::vector<uint32_t>{0xFFFF0000u, 1, 0xFFFF0001u, 0x10001u, 0xFFFF0002u,
                                             0x20001u, 0x20002u}));
    std::vector<std::string> texts;
    for (uint32_t value : values) {
        char text[kItemTextSize];
        lists.rowText(value, text, sizeof text);
        texts.push_back(text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"engines", "alpha, 1", "unidentified files", "raw",
                                               "agent files", "b.qa", "a.qa"}));
    EXPECT_EQ(lists.componentOfRow(0x20002u), lists.getNthList(2)->get(1));
    // A list's own row, and rows of no list, of no such list and of no such member.
    for (uint32_t row : {0xFFFF0000u, 0u, 0x50001u, 9u})
        EXPECT_EQ(lists.componentOfRow(row), nullptr);

    // The last member's removal takes its list along.
    Item* raw = lists.getComponentList(typeCode("????"))->get(0);
    EXPECT_EQ(std::unique_ptr<Item>(lists.removeComponent(raw)).get(), raw);
    EXPECT_EQ(lists.lookUpComponentList(typeCode("????")), -1);
    EXPECT_EQ(lists.getComponentList(typeCode("????")), nullptr);
    OKAFile stranger("/p/none");
    EXPECT_EQ(lists.removeComponent(&stranger), nullptr);
    // Removing by an equal copy hands back the member itself.
    Item* member = lists.getComponentList(kAgentType)->get(0);
    std::unique_ptr<OKAFile> copy(fileOfType("/p/b.qa", kAgentType));
    EXPECT_EQ(std::unique_ptr<Item>(lists.removeComponent(copy.get())).get(), member);
}

TEST(ComponentViewTest, FiltersByTypesTheDialogNeverOffers) {
    std::unique_ptr<OKAFile> agent(fileOfType("/p/a.qa", kAgentType));
    EngineInfo engine("alpha", 1);

    // Patterns and the dialog's types are tested through the workspace.
    ComponentView view;
    view.setFilterMode(kFilterByType);
    view.setFilterComponentType(kEngineType, "engines");
    EXPECT_TRUE(view.passesFilter(&engine));
    EXPECT_FALSE(view.passesFilter(agent.get()));
    EXPECT_FALSE(view.passesFilter(nullptr));
    EXPECT_STREQ(view.getLabelText(), "engines");
    view.setFilterComponentType(0, "kept");  // type 0 changes nothing
    EXPECT_STREQ(view.getFilterTypeName(), "engines");
    view.setFilterComponentType(typeCode("GONE"), "gone files");
    EXPECT_FALSE(view.passesFilter(&engine));
    EXPECT_STREQ(view.getLabelText(), "gone files");
}
