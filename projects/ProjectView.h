// ProjectView: the project's lists as a window shows them. The project
// (ProjectManager) holds the components and the component views (their
// filters and widths); it tells its view when they change and asks it for
// the selection and for the view a label belongs to. The
// workspace window installs its view (kelvane/ProjectColumns) while it
// exists; without one there are no lists to fill, as in a Tool Manager
// without a display.
#pragma once

#include <cstdint>

class ComponentView;
class Item;
class TAreaObj;

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
    // Every view is about to be destroyed (a project is being loaded, or
    // the project is going).
    virtual void viewsClearing() = 0;
    // The view whose column has the label `label`, or null.
    virtual ComponentView* viewLabelled(const TAreaObj* label) = 0;
    // Opens `view`'s filter dialog.
    virtual void editViewFilter(ComponentView& view) = 0;
    // The component selected in the project list or in a view, or null.
    virtual Item* selectedComponent() = 0;
    // Selects the row of `item` in the project list; null clears every
    // selection. Nothing changes when no row shows `item`.
    virtual void selectComponent(const Item* item) = 0;
    // The width of the project list as shown.
    virtual int16_t projectListWidth() const = 0;
    virtual void setProjectListWidth(int16_t width) = 0;
};
