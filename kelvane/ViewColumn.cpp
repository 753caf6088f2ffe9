// ViewColumn: one view's widgets following the view.
#include "kelvane/ViewColumn.h"

#include "kelvane/ComponentRows.h"
#include "projects/ComponentView.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/TAreaObj.h"
#include "toolkit/widgets/WinObj.h"

ViewColumn::ViewColumn(ComponentView& shown, const ListColumn& columnWidgets)
    : view(&shown), widgets(columnWidgets) {
    view->addObserver(this);
    placeColumn(widgets, widgets.list->box.x, view->getListWidth());
    TAREA_SetLabel(widgets.label, view->getLabelText());
}

ViewColumn::~ViewColumn() {
    if (filterDialog != nullptr) WIN_TerminateGetStatus(filterDialog);
    WGT_Terminate(widgets.list);
    WGT_Terminate(widgets.label);
}

void ViewColumn::fill(LBoxObj* projectList, const MasterComponentList& components) {
    if (view == nullptr || !widgets.exists() || projectList == nullptr) return;
    TAREA_SetLabel(widgets.label, view->getLabelText());
    fillViewList(widgets.list, *view, projectList, components);
}

void ViewColumn::unselectAll() {
    if (widgets.list != nullptr) LBOX_AllUnselect(widgets.list);
}

void ViewColumn::receiveNotification(Notifier*, long code, void*) {
    if (code == kNotifierDeleted)
        view = nullptr;
    else if (code == kViewWidthChanged && widgets.exists())
        placeColumn(widgets, widgets.list->box.x, view->getListWidth());
}
