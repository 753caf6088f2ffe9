#include "kelvane/ProjectColumns.h"

#include <algorithm>
#include <vector>

#include "kelvane/ComponentRows.h"
#include "kelvane/ComponentViewFilter.h"
#include "projects/ComponentView.h"
#include "projects/ProjectManager.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/SPanlObj.h"
#include "toolkit/widgets/TAreaObj.h"

ProjectColumns gProjectColumns;

namespace {
// Room left below the lists in the component area.
constexpr int kListBottomMargin = 20;

ComponentView* viewNumber(long n) {
    return gProjectManager->getNthComponentView(n);
}
long viewCount() {
    return gProjectManager->getNumberOfComponentViews();
}
}  // namespace

ViewColumn* ProjectColumns::columnOf(const ComponentView& view) const {
    for (const auto& column : viewColumns)
        if (column->getView() == &view) return column.get();
    return nullptr;
}

void ProjectColumns::viewAdded(ComponentView& view) {
    if (componentArea != nullptr && columnOf(view) == nullptr) {
        Rect16 last;
        getLastComponentViewBox(&last);
        makeViewColumn(view, last);
        // A list the user just made is scrolled into sight.
        if (!attaching) SPANL_ShowWidget(componentArea, columnOf(view)->getListBox());
    }
    viewChanged(view);
}

void ProjectColumns::makeViewColumn(ComponentView& view, const Rect16& leftNeighbour) {
    ListColumn column;
    column.list = static_cast<LBoxObj*>(PANEL_Clone(projectListBox));
    column.list->procedure = projectListBox->procedure;
    Rect16 listBox = projectListBox->box;
    listBox.x = int16_t(leftNeighbour.right() + kColumnGap);
    listBox.width = view.getListWidth();
    PANEL_AddWgt(componentArea, column.list);
    PANEL_SetResBox(column.list, &listBox);

    column.label = static_cast<TAreaObj*>(RES_Clone(projectListLabel));
    RES_SetNfyProcDS(column.label, viewLabelProcedure, 0);
    Rect16 labelBox = projectListLabel->box;
    labelBox.x = listBox.x;
    labelBox.width = listBox.width;
    PANEL_AddWgt(componentArea, column.label);
    WGT_SetResBox(column.label, &labelBox);

    viewColumns.push_back(std::make_unique<ViewColumn>(view, column));
    updateComponentAreaExtent();
}

void ProjectColumns::viewRemoving(ComponentView& view) {
    ViewColumn* removed = columnOf(view);
    if (removed == nullptr) return;
    int x = removed->getListBox()->box.x;
    std::erase_if(viewColumns, [removed](const auto& column) { return column.get() == removed; });
    for (long n = 0; n < viewCount(); ++n) {
        ViewColumn* next = columnOf(*viewNumber(n));
        if (next == nullptr || next->getListBox()->box.x <= x) continue;
        int width = next->getView()->getListWidth();
        placeColumn(next->getWidgets(), x, width);
        x += width + kColumnGap;
    }
    updateComponentAreaExtent();
}

void ProjectColumns::viewsClearing() {
    viewColumns.clear();
    updateComponentAreaExtent();
}

ComponentView* ProjectColumns::viewLabelled(const TAreaObj* label) {
    for (const auto& column : viewColumns)
        if (column->getLabel() == label) return column->getView();
    return nullptr;
}

void ProjectColumns::editViewFilter(ComponentView& view) {
    displayComponentViewFilter(&view);
}

void ProjectColumns::getLastComponentViewBox(Rect16* box) const {
    *box = Rect16{};
    if (projectListBox != nullptr) *box = projectListBox->box;
    for (long n = viewCount() - 1; n >= 0; --n) {
        const ViewColumn* column = columnOf(*viewNumber(n));
        if (column == nullptr) continue;
        *box = column->getListBox()->box;
        return;
    }
}

void ProjectColumns::adjustListHeights() {
    if (componentArea == nullptr) return;
    int height = componentArea->box.height - projectListBox->box.y - kListBottomMargin;
    for (long n = 0; n < getNumberOfColumns(); ++n) {
        LBoxObj* list = getColumn(n).list;
        if (list == nullptr) continue;
        Rect16 box = list->box;
        box.height = int16_t(height);
        PANEL_SetResBox(list, &box);
    }
}

void ProjectColumns::updateComponentAreaExtent() {
    if (componentArea == nullptr) return;
    Rect16 last;
    getLastComponentViewBox(&last);
    int scrollBarWidth = 0;
    SAREA_QueryInfo(componentArea, &scrollBarWidth, nullptr);
    SPANL_SetExt(componentArea, last.right() + scrollBarWidth, last.bottom());
    // A narrower surface (a list removed) may leave the area scrolled past
    // its end: nothing would stand at its left.
    int maximumX = std::max(0, componentArea->extentWidth - componentArea->box.width);
    int maximumY = std::max(0, componentArea->extentHeight - componentArea->box.height);
    if (componentArea->scrollX > maximumX || componentArea->scrollY > maximumY) {
        componentArea->scrollX = std::min(componentArea->scrollX, maximumX);
        componentArea->scrollY = std::min(componentArea->scrollY, maximumY);
        componentArea->changed();
    }
}

void ProjectColumns::componentsChanged() {
    if (projectListBox == nullptr) return;
    fillProjectList(projectListBox, gProjectManager->getMasterComponentList());
    for (long n = viewCount() - 1; n >= 0; --n) viewChanged(*viewNumber(n));
    updateComponentAreaExtent();
}

void ProjectColumns::viewChanged(ComponentView& view) {
    if (ViewColumn* column = columnOf(view))
        column->fill(projectListBox, gProjectManager->getMasterComponentList());
}

Item* ProjectColumns::selectedComponent() {
    std::vector<LBoxObj*> boxes{projectListBox};
    for (long n = 0; n < viewCount(); ++n)
        if (ViewColumn* column = columnOf(*viewNumber(n))) boxes.push_back(column->getListBox());
    for (LBoxObj* box : boxes) {
        if (box == nullptr || !LBOX_GoSelAllocFirst(box)) continue;
        return gProjectManager->getMasterComponentList().componentOfRow(
            uint32_t(LBOX_CurGetClientData(box)));
    }
    return nullptr;
}

void ProjectColumns::selectComponent(const Item* item) {
    if (item == nullptr) {
        if (projectListBox != nullptr) LBOX_AllUnselect(projectListBox);
        for (const auto& column : viewColumns) column->unselectAll();
        return;
    }
    if (projectListBox == nullptr) return;
    MasterComponentList& components = gProjectManager->getMasterComponentList();
    for (int row = 0; row < LBOX_GetNumRows(projectListBox); ++row) {
        LBOX_GoIndex(projectListBox, row);
        Item* shown = components.componentOfRow(uint32_t(LBOX_CurGetClientData(projectListBox)));
        if (shown == nullptr || !shown->isEqual(item)) continue;
        selectComponent(nullptr);
        LBOX_GoIndex(projectListBox, row);
        LBOX_CurSelect(projectListBox);
        return;
    }
}

ListColumn ProjectColumns::getColumn(long n) const {
    if (n == 0) return {projectListBox, projectListLabel};
    if (n < 0 || n > viewCount()) return {};
    ViewColumn* column = columnOf(*viewNumber(n - 1));
    return column != nullptr ? column->getWidgets() : ListColumn{};
}

long ProjectColumns::getNumberOfColumns() const {
    return viewCount() + 1;
}

void ProjectColumns::moveColumn(long n, int x, int width) {
    placeColumn(getColumn(n), x, width);
    if (n > 0 && n <= viewCount()) viewNumber(n - 1)->setListWidth(int16_t(width));
}

int16_t ProjectColumns::projectListWidth() const {
    if (projectListLabel != nullptr) return columnWidth(getColumn(0));
    return unlabelledWidth != 0 ? unlabelledWidth : kNewViewWidth;
}

void ProjectColumns::setProjectListWidth(int16_t width) {
    unlabelledWidth = width;
    ListColumn column = getColumn(0);
    if (column.exists()) placeColumn(column, column.list->box.x, width);
}

void ProjectColumns::setViewLabelProcedure(void (*procedure)(TAreaObj* label, int code)) {
    viewLabelProcedure = procedure;
}

void ProjectColumns::attach(LBoxObj* listBox) {
    if (listBox == nullptr) {
        // The window destroys the widgets itself.
        gProjectManager->setProjectView(nullptr);
        for (const auto& column : viewColumns) column->forgetWidgets();
        viewColumns.clear();
        projectListBox = nullptr;
        projectListLabel = nullptr;
        componentArea = nullptr;
        unlabelledWidth = 0;
        return;
    }
    projectListBox = listBox;
    auto* area = listBox->parent != nullptr && listBox->parent->kind == WgtKind::ScrollPanel
                     ? static_cast<SPanlObj*>(listBox->parent)
                     : nullptr;
    auto* label = area != nullptr ? dynamic_cast<TAreaObj*>(RES_GetNthChild(area, 1)) : nullptr;
    if (label != nullptr) {
        componentArea = area;
        projectListLabel = label;
    }
    // Views read from the project before the window existed get their
    // columns now, left to right.
    attaching = true;
    gProjectManager->setProjectView(this);
    attaching = false;
}
