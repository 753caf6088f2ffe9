// The workspace's tool icons follow the registry.
#include "ToolManagerTest.h"
#include "kelvane/ToolIconBar.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr TypeCode kBrowser = typeCode("BROW");
constexpr TypeCode kCompiler = typeCode("COMP");
constexpr TypeCode kDebugger = typeCode("DBUG");

class ToolIconBarTest : public ToolManagerTest {
  protected:
    ToolIconBarTest() {
        panel.box = makeRect16(0, 0, 600, 100);
        gToolIconBar->setPanel(&panel);
    }
    ~ToolIconBarTest() override {
        // The panel owns the icons, as the workspace window does.
        while (panel.childCount() > 0) {
            WgtObj* icon = panel.childAt(0);
            PANEL_RemoveWgt(&panel, icon);
            WGT_Terminate(icon);
        }
        gToolIconBar->setPanel(nullptr);
    }

    PanelObj panel;
};
}  // namespace

TEST_F(ToolIconBarTest, IconsStandInNameOrderCarryTheUnloadedMarkAndOutliveTheirTool) {
    FakeTool compiler("compiler", kCompiler);
    FakeTool browser("browser", kBrowser);
    FakeTool debugger("debugger", kDebugger);
    for (FakeTool* tool : {&compiler, &browser, &debugger}) registerFrom(*tool);

    TButObj* browserIcon = gToolIconBar->iconOf(kBrowser);
    TButObj* compilerIcon = gToolIconBar->iconOf(kCompiler);
    ASSERT_EQ(panel.childCount(), 3);
    EXPECT_EQ(browserIcon->box, makeRect16(10, 41, 70, 50));
    EXPECT_EQ(compilerIcon->box, makeRect16(85, 41, 70, 50));
    EXPECT_EQ(gToolIconBar->iconOf(kDebugger)->box, makeRect16(160, 41, 70, 50));
    EXPECT_EQ(TBUT_GetLabel(browserIcon), std::string("browser"));

    ASSERT_TRUE(gToolRegistry->unloadTool(kCompiler).ok());
    EXPECT_TRUE(toolIconIsUnloaded(compilerIcon));
    registerFrom(compiler);
    EXPECT_FALSE(toolIconIsUnloaded(compilerIcon));
    EXPECT_EQ(compilerIcon->box.x, 85);

    // A destroyed button is forgotten, and its tool goes on without one.
    PANEL_RemoveWgt(&panel, browserIcon);
    WGT_Terminate(browserIcon);
    EXPECT_EQ(gToolIconBar->iconOf(kBrowser), nullptr);
    ASSERT_TRUE(gToolRegistry->unloadTool(kBrowser).ok());
    EXPECT_EQ(gToolRegistry->toolIsLoaded(kBrowser), 0);

    // An unregistered tool keeps its icon but no longer takes place: its
    // successor, placed among the registered tools only, stands where it stood.
    EXPECT_EQ(deliver(newRequest("UNRT", kCompiler), compiler.info)->getLongParam(0), 0);
    EXPECT_EQ(panel.childCount(), 2);
    EXPECT_EQ(gToolIconBar->iconBoxOf(kCompiler), nullptr);
    FakeTool successor("compiler 2", typeCode("CMP2"));
    registerFrom(successor);
    EXPECT_EQ(panel.childCount(), 3);
    EXPECT_EQ(gToolIconBar->iconBoxOf(typeCode("CMP2"))->x, 85);
    EXPECT_EQ(gToolIconBar->iconBoxOf(kDebugger)->x, 235);
}
