// Filling the project list and the views' lists.
#include "kelvane/ComponentRows.h"

#include "projects/ComponentView.h"
#include "projects/MasterComponentList.h"
#include "toolkit/widgets/LBoxObj.h"

namespace {
// Sets the current row's client data (appending a row past the end) and text.
void appendRow(LBoxObj* listBox, const MasterComponentList& components, uint32_t value) {
    char text[kItemTextSize];
    components.rowText(value, text, sizeof text);
    LBOX_CurSetClientData(listBox, value);
    LBOX_CurSetText(listBox, text);
    LBOX_GoDown(listBox);
}

void emptyList(LBoxObj* listBox) {
    LBOX_Reset(listBox);
    LBOX_GoHome(listBox);
}
}  // namespace

void fillProjectList(LBoxObj* listBox, const MasterComponentList& components) {
    emptyList(listBox);
    for (uint32_t value : components.projectListRows()) appendRow(listBox, components, value);
}

void fillViewList(LBoxObj* viewList, const ComponentView& view, LBoxObj* projectList,
                  const MasterComponentList& components) {
    emptyList(viewList);
    for (int row = 0; row < LBOX_GetNumRows(projectList); ++row) {
        LBOX_GoIndex(projectList, row);
        auto value = uint32_t(LBOX_CurGetClientData(projectList));
        if (view.passesFilter(components.componentOfRow(value)))
            appendRow(viewList, components, value);
    }
}
