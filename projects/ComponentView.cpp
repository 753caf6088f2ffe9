// ComponentView: filtering the project list into a view.
#include "projects/ComponentView.h"

#include "core/Utilities.h"
#include "projects/EngineInfo.h"
#include "projects/MasterComponentList.h"
#include "projects/OKAFile.h"
#include "toolkit/LBoxObj.h"
#include "toolkit/TAreaObj.h"
#include "toolkit/WinObj.h"

ComponentView::ComponentView()
    : filter(std::make_unique<WildCardString>()), filterTypeName(newStringCopy("any type")) {}

ComponentView::~ComponentView() {
    if (filterDialog != nullptr) WIN_TerminateGetStatus(filterDialog);
    WGT_Terminate(column.list);
    WGT_Terminate(column.label);
    delete[] filterTypeName;
}

void ComponentView::attachColumn(const ListColumn& widgets) {
    column = widgets;
    setListWidth(listWidth);
    TAREA_SetLabel(column.label, getLabelText());
}

void ComponentView::forgetColumn() { column = ListColumn{}; }

int16_t ComponentView::getListWidth() const {
    return column.exists() ? columnWidth(column) : listWidth;
}

void ComponentView::setListWidth(int16_t width) {
    listWidth = width;
    if (column.exists()) placeColumn(column, column.list->box.x, width);
}

const char* ComponentView::getLabelText() const {
    return filterMode == kFilterByType ? filterTypeName : filter->getDisplayPattern();
}

bool ComponentView::passesFilter(const Item* component) const {
    if (component == nullptr) return false;
    if (filterMode == kFilterByType) return component->getItemType() == filterTypeIdent;
    auto* file = dynamic_cast<const OKAFile*>(component);
    return file != nullptr && filter->wildCardStringEqual(file->getPathname());
}

void ComponentView::setUpList(LBoxObj* projectList, const MasterComponentList& components) {
    if (!column.exists() || projectList == nullptr) return;
    TAREA_SetLabel(column.label, getLabelText());
    LBoxObj* listBox = column.list;
    LBOX_Reset(listBox);
    LBOX_GoHome(listBox);
    for (int row = 0; row < LBOX_GetNumRows(projectList); ++row) {
        LBOX_GoIndex(projectList, row);
        auto value = uint32_t(LBOX_CurGetClientData(projectList));
        if (passesFilter(components.componentOfRow(value))) components.appendRow(listBox, value);
    }
}

void ComponentView::unselectAll() {
    if (column.list != nullptr) LBOX_AllUnselect(column.list);
}

void ComponentView::setFilter(const char* pattern) {
    filter = std::make_unique<WildCardString>(pattern, true);
}

void ComponentView::setFilterComponentType(TypeCode type, const char* name) {
    if (type == 0) return;
    filterTypeIdent = type;
    delete[] filterTypeName;
    filterTypeName = newStringCopy(name ? name : "");
}
