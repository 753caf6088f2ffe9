// ProjectManager: the component views, left to right, and the width of the
// project list. The views keep their filters and widths here; their columns,
// labels and rows are the project view's (ProjectView), told of every change.
#include "core/Log.h"
#include "projects/ProjectManager.h"

namespace {
constexpr const char* kLogSource = "../projmgr";
}  // namespace

void ProjectManager::setProjectView(ProjectView* newView) {
    // The width the window showed is the one the project file keeps.
    if (newView == nullptr && view != nullptr) projectListWidth = view->projectListWidth();
    view = newView;
    if (view == nullptr) return;
    if (projectListWidth != 0) view->setProjectListWidth(projectListWidth);
    for (long n = 0; n < componentViews.getCount(); ++n)
        view->viewAdded(*static_cast<ComponentView*>(componentViews.get(n)));
    updateProjectListView();
}

ComponentView* ProjectManager::addComponentView() {
    auto* added = new ComponentView();
    componentViews.include(added);
    if (view != nullptr) view->viewAdded(*added);
    return added;
}

void ProjectManager::removeComponentView(const TAreaObj* label) {
    ComponentView* removed = getComponentViewByLabel(label);
    if (removed == nullptr) {
        OKA_LOG("bad label provided to ProjectManager::removeComponentView");
        return;
    }
    if (view != nullptr) view->viewRemoving(*removed);
    componentViews.remove(removed);
    delete removed;
}

ComponentView* ProjectManager::getComponentViewByLabel(const TAreaObj* label) {
    return view != nullptr && label != nullptr ? view->viewLabelled(label) : nullptr;
}

void ProjectManager::setComponentViewFilter(const TAreaObj* label) {
    ComponentView* filtered = getComponentViewByLabel(label);
    if (filtered == nullptr) {
        OKA_LOG("bad label provided to ProjectManager::setComponentViewFilter");
        return;
    }
    view->editViewFilter(*filtered);
}

ComponentView* ProjectManager::getNthComponentView(long n) {
    if (n < 0 || n >= componentViews.getCount()) return nullptr;
    return static_cast<ComponentView*>(componentViews.get(n));
}

void ProjectManager::setUpAllComponentViews() {
    for (long n = componentViews.getCount() - 1; n >= 0; --n)
        setUpComponentView(static_cast<ComponentView*>(componentViews.get(n)));
}

void ProjectManager::setUpComponentView(ComponentView* changed) {
    if (view != nullptr && changed != nullptr) view->viewChanged(*changed);
}

void ProjectManager::updateProjectListView() {
    if (view != nullptr && listViewHolds == 0) view->componentsChanged();
}

int16_t ProjectManager::getProjectListWidth() const {
    if (view != nullptr) return view->projectListWidth();
    return projectListWidth != 0 ? projectListWidth : kNewViewWidth;
}

void ProjectManager::setProjectListWidth(int16_t width) {
    projectListWidth = width;
    if (view != nullptr) view->setProjectListWidth(width);
}
