// ViewColumn: the workspace's column of one component view, its list box
// and label, and the view's filter dialog while one is open. It observes
// its view, so a new width shows at once, and owns its widgets: they go
// with the column unless the window destroys them first (forgetWidgets).
#pragma once

#include "kelvane/ListColumn.h"
#include "storage/Observer.h"

class ComponentView;
class MasterComponentList;
class WinObj;

class ViewColumn : public Observer {
  public:
    // Shows `view` in `widgets`, at the view's width and with its label.
    ViewColumn(ComponentView& view, const ListColumn& widgets);
    // Closes the filter dialog and destroys the widgets still held.
    ~ViewColumn() override;

    // The view shown, or null once it has been destroyed.
    ComponentView* getView() const { return view; }
    const ListColumn& getWidgets() const { return widgets; }
    LBoxObj* getListBox() const { return widgets.list; }
    TAreaObj* getLabel() const { return widgets.label; }
    // The window is destroying the widgets: the column lets go of them.
    void forgetWidgets() { widgets = ListColumn{}; }

    // Sets the label and refills the list from the project list.
    void fill(LBoxObj* projectList, const MasterComponentList& components);
    void unselectAll();

    // The view's open filter dialog, or null.
    WinObj* getFilterDialog() const { return filterDialog; }
    void setFilterDialog(WinObj* dialog) { filterDialog = dialog; }

    void receiveNotification(Notifier* source, long code, void* data) override;

  private:
    ComponentView* view;             // the model shown, null once destroyed
    ListColumn widgets;              // list and label, or none once forgotten
    WinObj* filterDialog = nullptr;  // the open filter dialog, or null
};
