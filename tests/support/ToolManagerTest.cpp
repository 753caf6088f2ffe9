#include "ToolManagerTest.h"

#include "core/Utilities.h"
#include "kelvane/WorkspaceWindow.h"
#include "toolkit/automation/Automation.h"

ToolManagerTest::ToolManagerTest() {
    AUTO_Reset();
}

ToolManagerTest::~ToolManagerTest() {
    if (gWorkspaceWindow != nullptr) WIN_TerminateGetStatus(gWorkspaceWindow);
    AUTO_Reset();
}

int32_t ToolManagerTest::publish(const FakeTool& tool, const char* name, int32_t requirement,
                                 TypeCode type) {
    auto* message = new Message(typeCode("ADDC"), nullptr);
    message->addTextParam(name, kParamST31);
    message->addLongParam(requirement);
    message->addTypeParam(type);
    return deliver(message, tool.info)->getLongParam(0);
}

std::string ToolManagerTest::receivedCommand(FakeTool& tool) {
    auto message = tool.receive();
    if (!message) return "nothing";
    char name[kPathSize], machine[kPathSize], path[kPathSize];
    message->getTextParam(0, name, sizeof name);
    message->getTextParam(1, machine, sizeof machine);
    message->getTextParam(3, path, sizeof path);
    return std::string(name) + "|" + machine + "|" + std::to_string(message->getLongParam(2)) +
           "|" + path;
}

void ToolManagerTest::answerNextAlert(int answer) {
    AUTO_ScriptModal("alertWindow", [this, answer](WinObj* window) {
        ShownAlert shown;
        shown.title = WIN_GetLabel(window);
        shown.message = TED_GetStr(static_cast<TEdObj*>(RES_GetNthChild(window, 2)));
        shown.icon = static_cast<TButObj*>(RES_GetNthChild(window, 0))->icon;
        WgtObj* group = RES_GetNthChild(window, 1);
        for (int i = 0; i < 3; ++i) {
            auto* button = static_cast<TButObj*>(RES_GetNthChild(group, i));
            if (WGT_IsVisible(button)) shown.buttons.push_back(TBUT_GetLabel(button));
        }
        alerts.push_back(shown);
        AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(group, answer - 1)));
    });
}

void ToolManagerTest::pickerAccepts(const std::string& path) {
    AUTO_ScriptModal("filePicker", [path](WinObj* window) {
        AUTO_EditText(static_cast<TEdObj*>(RES_GetNthChild(window, 6)), path.c_str());
        AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(window, 3)));
    });
}

std::vector<std::string> ToolManagerTest::lastPopUpLabels() {
    std::vector<std::string> labels;
    for (const MenuItem& item : AUTO_LastPopupItems()) {
        std::string shown = item.separator ? "---" : (item.enabled ? "" : "-") + item.label;
        labels.push_back(item.checked ? "+" + shown : shown);
    }
    return labels;
}
