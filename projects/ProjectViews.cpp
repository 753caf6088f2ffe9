// ProjectManager: the component views as columns of the workspace's
// component area. Each view's list and label are clones of the project
// list's, placed 8 pixels right of the column before; all lists share the
// project list's y and height. The area's extent follows the rightmost list.
#include <algorithm>

#include "core/Log.h"
#include "projects/ComponentViewFilter.h"
#include "projects/ProjectManager.h"
#include "toolkit/LBoxObj.h"
#include "toolkit/ResourceLibrary.h"
#include "toolkit/SPanlObj.h"
#include "toolkit/TAreaObj.h"

namespace {
constexpr const char* kLogSource = "../projmgr";
// Room left below the lists in the component area.
constexpr int kListBottomMargin = 20;
}  // namespace

ComponentView* ProjectManager::addComponentView() {
    auto* view = new ComponentView();
    Rect16 last;
    getLastComponentViewBox(&last);
    componentViews.include(view);
    if (componentArea != nullptr) {
        makeViewColumn(view, last);
        SPANL_ShowWidget(componentArea, view->getListBox());
    }
    view->setUpList(projectListBox, *masterComponentList);
    return view;
}

void ProjectManager::makeViewColumn(ComponentView* view, const Rect16& leftNeighbour) {
    ListColumn column;
    column.list = static_cast<LBoxObj*>(PANEL_Clone(projectListBox));
    column.list->procedure = projectListBox->procedure;
    Rect16 listBox = projectListBox->box;
    listBox.x = int16_t(leftNeighbour.right() + kColumnGap);
    listBox.width = kNewViewWidth;
    PANEL_AddWgt(componentArea, column.list);
    PANEL_SetResBox(column.list, &listBox);

    column.label = static_cast<TAreaObj*>(RES_Clone(projectListLabel));
    RES_SetNfyProcDS(column.label, viewLabelProcedure, 0);
    Rect16 labelBox = projectListLabel->box;
    labelBox.x = listBox.x;
    labelBox.width = listBox.width;
    PANEL_AddWgt(componentArea, column.label);
    WGT_SetResBox(column.label, &labelBox);

    view->attachColumn(column);
    updateComponentAreaExtent();
}

void ProjectManager::removeComponentView(const TAreaObj* label) {
    ComponentView* view = getComponentViewByLabel(label);
    if (view == nullptr) {
        OKA_LOG("bad label provided to ProjectManager::removeComponentView");
        return;
    }
    int x = view->getListBox() != nullptr ? view->getListBox()->box.x : 0;
    componentViews.remove(view);
    delete view;
    for (long n = 0; n < componentViews.getCount(); ++n) {
        auto* next = static_cast<ComponentView*>(componentViews.get(n));
        LBoxObj* list = next->getListBox();
        if (list == nullptr || list->box.x <= x) continue;
        placeColumn(next->getColumn(), x, next->getListWidth());
        x += next->getListWidth() + kColumnGap;
    }
    updateComponentAreaExtent();
}

ComponentView* ProjectManager::getComponentViewByLabel(const TAreaObj* label) {
    for (long n = 0; label != nullptr && n < componentViews.getCount(); ++n) {
        auto* view = static_cast<ComponentView*>(componentViews.get(n));
        if (view->getLabel() == label) return view;
    }
    return nullptr;
}

void ProjectManager::setComponentViewFilter(const TAreaObj* label) {
    ComponentView* view = getComponentViewByLabel(label);
    if (view == nullptr) {
        OKA_LOG("bad label provided to ProjectManager::setComponentViewFilter");
        return;
    }
    displayComponentViewFilter(view);
}

ComponentView* ProjectManager::getNthComponentView(long n) {
    if (n < 0 || n >= componentViews.getCount()) {
        lastError = kErrorViewIndex;
        return nullptr;
    }
    return static_cast<ComponentView*>(componentViews.get(n));
}

void ProjectManager::getLastComponentViewBox(Rect16* box) const {
    *box = Rect16{};
    if (projectListBox != nullptr) *box = projectListBox->box;
    for (long n = componentViews.getCount() - 1; n >= 0; --n) {
        LBoxObj* list = static_cast<ComponentView*>(componentViews.get(n))->getListBox();
        if (list == nullptr) continue;
        *box = list->box;
        return;
    }
}

void ProjectManager::adjustListHeights() {
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

void ProjectManager::updateComponentAreaExtent() {
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

void ProjectManager::setUpAllComponentViews() {
    for (long n = componentViews.getCount() - 1; n >= 0; --n)
        setUpComponentView(static_cast<ComponentView*>(componentViews.get(n)));
}

void ProjectManager::setUpComponentView(ComponentView* view) {
    view->setUpList(projectListBox, *masterComponentList);
}

void ProjectManager::updateProjectListView() {
    if (projectListBox == nullptr || listViewHolds > 0) return;
    masterComponentList->fillProjectList(projectListBox);
    setUpAllComponentViews();
}

ListColumn ProjectManager::getColumn(long n) const {
    if (n == 0) return {projectListBox, projectListLabel};
    if (n < 0 || n > componentViews.getCount()) return {};
    return static_cast<ComponentView*>(componentViews.get(n - 1))->getColumn();
}

int16_t ProjectManager::getProjectListWidth() const {
    if (projectListLabel != nullptr) return columnWidth(getColumn(0));
    return projectListWidth != 0 ? projectListWidth : kNewViewWidth;
}

void ProjectManager::setProjectListWidth(int16_t width) {
    projectListWidth = width;
    ListColumn column = getColumn(0);
    if (column.exists()) placeColumn(column, column.list->box.x, width);
}

void ProjectManager::setViewLabelProcedure(void (*procedure)(TAreaObj* label, int code)) {
    viewLabelProcedure = procedure;
}

void ProjectManager::setProjectListBox(LBoxObj* listBox) {
    if (listBox == nullptr) {
        // The window destroys the widgets itself.
        for (long n = 0; n < componentViews.getCount(); ++n)
            static_cast<ComponentView*>(componentViews.get(n))->forgetColumn();
        projectListWidth = getProjectListWidth();
        projectListBox = nullptr;
        projectListLabel = nullptr;
        componentArea = nullptr;
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
        if (projectListWidth != 0) setProjectListWidth(projectListWidth);
        // Views read from the project before the window existed get their
        // columns now, left to right.
        Rect16 leftNeighbour = listBox->box;
        for (long n = 0; n < componentViews.getCount(); ++n) {
            auto* view = static_cast<ComponentView*>(componentViews.get(n));
            if (!view->getColumn().exists()) makeViewColumn(view, leftNeighbour);
            leftNeighbour = view->getListBox()->box;
        }
    }
    updateProjectListView();
}
