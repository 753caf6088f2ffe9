// ComponentView: filtering the project list into a view.
#include "projects/ComponentView.h"

#include "core/Utilities.h"
#include "projects/EngineInfo.h"
#include "projects/MasterComponentList.h"
#include "projects/OKAFile.h"
#include "toolkit/LBoxObj.h"

ComponentView::ComponentView(LBoxObj* box)
    : listBox(box), filter(std::make_unique<WildCardString>()),
      filterTypeName(newStringCopy("any type")) {}

ComponentView::~ComponentView() { delete[] filterTypeName; }

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
    if (listBox == nullptr || projectList == nullptr) return;
    LBOX_Reset(listBox);
    LBOX_GoHome(listBox);
    for (int row = 0; row < LBOX_GetNumRows(projectList); ++row) {
        LBOX_GoIndex(projectList, row);
        auto value = uint32_t(LBOX_CurGetClientData(projectList));
        if (passesFilter(components.componentOfRow(value))) components.appendRow(listBox, value);
    }
}

void ComponentView::unselectAll() {
    if (listBox != nullptr) LBOX_AllUnselect(listBox);
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
