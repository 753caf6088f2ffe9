// The list filter dialog ("listFilter" in the kelvane library, window type
// 'LFLT'): chooses what a component view shows, the files whose full path
// matches a pattern or the components of one type. OK stores the choice in
// the view, refills it and saves the project; the dialog is not modal. A
// view has a dialog only while its column is shown, and at most one.
#pragma once

class ComponentView;
class WinObj;

// Opens the dialog for `view`, filled with the view's current filter; null
// when the view has no column.
WinObj* displayComponentViewFilter(ComponentView* view);
