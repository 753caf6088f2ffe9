// ComponentView: the filter and width of one view.
#include "projects/ComponentView.h"

#include "core/Utilities.h"
#include "projects/OKAFile.h"

ComponentView::ComponentView()
    : filter(std::make_unique<WildCardString>()), filterTypeName(newStringCopy("any type")) {}

ComponentView::~ComponentView() {
    delete[] filterTypeName;
}

void ComponentView::setListWidth(int16_t width) {
    listWidth = width;
    notifyObservers(kViewWidthChanged, nullptr);
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

void ComponentView::setFilter(const char* pattern) {
    filter = std::make_unique<WildCardString>(pattern, true);
}

void ComponentView::setFilterComponentType(TypeCode type, const char* name) {
    if (type == 0) return;
    filterTypeIdent = type;
    delete[] filterTypeName;
    filterTypeName = newStringCopy(name ? name : "");
}
