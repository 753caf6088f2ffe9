// ProjectColumns: the workspace window's side of the project. The project
// list and every component view are columns of the component area, each a
// list box with its label above it, placed 8 pixels apart; a view's column
// is cloned from the project list's (a ViewColumn, which follows its view),
// and all lists share the project list's y and height. The area's extent
// follows the rightmost list. It fills the lists and keeps the selection for
// the project (ProjectView), which it observes while the window exists.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kelvane/ListColumn.h"
#include "kelvane/ViewColumn.h"
#include "projects/ProjectView.h"

class LBoxObj;
class SPanlObj;
class TAreaObj;

class ProjectColumns : public ProjectView {
  public:
    // The workspace hands over its project list box while its window exists
    // (null when it goes); the lists are filled only while there is one.
    // When the list stands in a scrolling panel with its label as the
    // panel's child 1 (the workspace's component area), the views get
    // columns of their own in that panel.
    void attach(LBoxObj* listBox);
    // The notification procedure of every view's label (null: the default).
    void setViewLabelProcedure(void (*procedure)(TAreaObj* label, int code));

    // Column 0 is the project list, column n the view n - 1; none past the last.
    ListColumn getColumn(long n) const;
    long getNumberOfColumns() const;
    // Places column `n` at `x` with the width `width`, which a view keeps.
    void moveColumn(long n, int x, int width);
    // The column showing `view`, or null.
    ViewColumn* columnOf(const ComponentView& view) const;
    SPanlObj* getComponentArea() const { return componentArea; }
    // The box of the rightmost list: the last view's, or the project list's.
    void getLastComponentViewBox(Rect16* box) const;
    // Every list gets the height the component area leaves below them.
    void adjustListHeights();
    // Sets the component area's extent to the rightmost list's right edge
    // (plus room for a scroll bar) and its bottom edge.
    void updateComponentAreaExtent();

    // ---- ProjectView
    void componentsChanged() override;
    void viewChanged(ComponentView& view) override;
    void viewAdded(ComponentView& view) override;
    void viewRemoving(ComponentView& view) override;
    void viewsClearing() override;
    ComponentView* viewLabelled(const TAreaObj* label) override;
    void editViewFilter(ComponentView& view) override;
    Item* selectedComponent() override;
    void selectComponent(const Item* item) override;
    int16_t projectListWidth() const override;
    void setProjectListWidth(int16_t width) override;

  private:
    // Clones the project list's column for `view`, right of `leftNeighbour`.
    void makeViewColumn(ComponentView& view, const Rect16& leftNeighbour);

    LBoxObj* projectListBox = nullptr;                     // the workspace's project list, or null
    TAreaObj* projectListLabel = nullptr;                  // its label, when it has one
    SPanlObj* componentArea = nullptr;                     // the panel holding the lists, or null
    void (*viewLabelProcedure)(TAreaObj*, int) = nullptr;  // given to every view's label
    int16_t unlabelledWidth = 0;  // the width asked for while there is no label
    bool attaching = false;       // columns are made for views read earlier
    std::vector<std::unique_ptr<ViewColumn>> viewColumns;  // one per view shown, any order
};

// The workspace window's columns.
extern ProjectColumns gProjectColumns;
