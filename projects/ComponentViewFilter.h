// The list filter dialog ("listFilter" in the kelvane library, window type
// 'LFLT'): chooses what a component view shows, the files whose full path
// matches a pattern or the components of one type. OK stores the choice in
// the view, refills it and saves the project; the dialog is not modal.
#pragma once

class ComponentView;
class WinObj;

// Opens the dialog for `view`, filled with the view's current filter.
WinObj* displayComponentViewFilter(ComponentView* view);
