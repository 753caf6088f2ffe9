// The rows of the workspace's component lists. Each row carries the client
// data value that names what it shows (see MasterComponentList.h) and the
// text that value gives; a view copies the values of the project list's
// rows that pass its filter, so its rows decode exactly like the project
// list's.
#pragma once

class ComponentView;
class LBoxObj;
class MasterComponentList;

// One header row per non-empty component list, then one row per member.
void fillProjectList(LBoxObj* listBox, const MasterComponentList& components);
// The rows of `projectList` whose component passes `view`'s filter.
void fillViewList(LBoxObj* viewList, const ComponentView& view, LBoxObj* projectList,
                  const MasterComponentList& components);
