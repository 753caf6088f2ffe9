// Headless workspace tests: an in-process Tool Manager, its workspace open on a project.
#pragma once

#include <algorithm>

#include "ToolManagerTest.h"
#include "kelvane/ProjectColumns.h"
#include "kelvane/WorkspaceWindow.h"
#include "projects/EngineInfo.h"
#include "projects/MasterComponentList.h"
#include "projects/ProjectManager.h"
#include "toolkit/automation/Automation.h"

class WorkspaceTest : public ToolManagerTest {
  protected:
    WorkspaceTest() {
        EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), true).ok());
        createWorkspaceWindow();
    }

    std::filesystem::path projectPath() const { return manager.home.path() / "demo.prj"; }
    // A file in the HOME, added to the project; its full path.
    std::string addFile(const std::string& name, const std::string& content = "text\n") {
        std::filesystem::path path = manager.home.path() / "src" / name;
        writeFile(path, content);
        EXPECT_TRUE(gProjectManager->addFileToProject(path.c_str()).ok());
        return path.string();
    }

    SPanlObj* area() const { return static_cast<SPanlObj*>(RES_GetNthChild(gWorkspaceWindow, 11)); }
    LBoxObj* projectList() const { return static_cast<LBoxObj*>(RES_GetNthChild(area(), 0)); }
    std::string statusText() const {
        return TAREA_GetLabel(static_cast<TAreaObj*>(RES_GetNthChild(gWorkspaceWindow, 0)));
    }
    // The workspace's column of `view`.
    static ViewColumn* columnOf(const ComponentView* view) {
        return gProjectColumns.columnOf(*view);
    }
    // Opens the view's filter dialog from its label's pop-up.
    static WinObj* openFilterDialog(ComponentView* view) {
        AUTO_ScriptPopupLabel("Set List Filter...");
        AUTO_ButtonDown(columnOf(view)->getLabel(), 3, false);
        return columnOf(view)->getFilterDialog();
    }
    static long engineCount() {
        ComponentList* engines =
            gProjectManager->getMasterComponentList().getComponentList(kEngineType);
        return engines != nullptr ? engines->getCount() : 0;
    }
    // The row of the project list showing `text`, or -1.
    static int rowShowing(LBoxObj* list, const std::string& text) {
        auto row = std::ranges::find(list->rows, text, &ListRow::text);
        return row != list->rows.end() ? int(row - list->rows.begin()) : -1;
    }
};
