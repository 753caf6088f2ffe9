// ProjectView: the project's lists as a window shows them. The project
// (ProjectManager) holds the components and the component views' filters;
// it tells its view when they change and asks it for the selection. The
// workspace window installs its view (kelvane/ProjectColumns) while it
// exists; without one there are no lists to fill, as in a Tool Manager
// without a display.
#pragma once

#include <cstdint>

class ComponentView;
class Item;

class ProjectView {
  public:
    virtual ~ProjectView() = default;

    // The components changed: refill the project list and every view.
    virtual void componentsChanged() = 0;
    // `view`'s filter changed: refill its list.
    virtual void viewChanged(ComponentView& view) = 0;
    // `view` was added at the right end: give it its column.
    virtual void viewAdded(ComponentView& view) = 0;
    // `view` is about to be destroyed: the views right of it move left into
    // its place.
    virtual void viewRemoving(ComponentView& view) = 0;
    // Every view is gone (a project is being loaded).
    virtual void viewsCleared() = 0;
    // The component selected in the project list or in a view, or null.
    virtual Item* selectedComponent() = 0;
    // Selects the row of `item` in the project list; null clears every
    // selection. Nothing changes when no row shows `item`.
    virtual void selectComponent(const Item* item) = 0;
    // The width of the project list as shown.
    virtual int16_t projectListWidth() const = 0;
    virtual void setProjectListWidth(int16_t width) = 0;
};
