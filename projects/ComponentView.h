// ComponentView: one of the user's extra lists beside the project list in
// the workspace, showing the components that pass its filter: files whose
// full path matches a name pattern (mode 1), or components of one type
// (mode 2). A view holds no components of its own: it copies the matching
// rows (their client data) of the project list box, so its rows decode
// exactly like the project list's. Views are stored in the project file as
// 'VIEW' records (see ProjectRecords.h).
//
// The view's column (list box and label) lives in the workspace's component
// area; while there is no workspace window the view has none and keeps only
// its filter and width. The label shows the filter: the pattern in mode 1,
// the type name in mode 2.
#pragma once

#include <cstdint>
#include <memory>

#include "projects/ListColumn.h"
#include "storage/WildCardString.h"
#include "storage/Item.h"

class LBoxObj;
class TAreaObj;
class WinObj;
class MasterComponentList;

inline constexpr int32_t kFilterByName = 1;
inline constexpr int32_t kFilterByType = 2;
inline constexpr int16_t kNewViewWidth = 130;

class ComponentView : public Item {
public:
    ComponentView();
    ComponentView(const ComponentView&) = delete;
    ComponentView& operator=(const ComponentView&) = delete;
    // Closes the view's filter dialog, takes the column out of the component
    // area and destroys it.
    ~ComponentView() override;

    // The view shows itself in `widgets` from now on, at its width; it
    // destroys them with itself.
    void attachColumn(const ListColumn& widgets);
    // The workspace window is destroying the widgets: the view lets go of
    // them, keeping its width.
    void forgetColumn();

    // Refills the view's list box from the project list box.
    void setUpList(LBoxObj* projectList, const MasterComponentList& components);
    void unselectAll();

    // The filter setters leave the rows as they are: the caller refills the
    // view (ProjectManager::setUpComponentView) once all of them are set.
    // A new case-sensitive pattern (null stands for "*").
    void setFilter(const char* pattern);
    // Nothing when `type` is 0.
    void setFilterComponentType(TypeCode type, const char* name);
    void setFilterMode(int32_t mode) { filterMode = mode; }
    // The label's width, or the width the view will have once shown.
    int16_t getListWidth() const;
    // Sets the width of list and label, keeping their place.
    void setListWidth(int16_t width);

    int32_t getFilterMode() const { return filterMode; }
    const WildCardString& getFilter() const { return *filter; }
    TypeCode getFilterTypeIdent() const { return filterTypeIdent; }
    const char* getFilterTypeName() const { return filterTypeName; }
    // The label's text: the pattern in mode 1, the type name in mode 2.
    const char* getLabelText() const;
    LBoxObj* getListBox() const { return column.list; }
    TAreaObj* getLabel() const { return column.label; }
    const ListColumn& getColumn() const { return column; }
    // The view's open filter dialog, or null.
    WinObj* getFilterDialog() const { return filterDialog; }
    void setFilterDialog(WinObj* dialog) { filterDialog = dialog; }

    // True when the view shows `component`.
    bool passesFilter(const Item* component) const;

private:
    ListColumn column;                        // the workspace's widgets, or none
    WinObj* filterDialog = nullptr;           // its open filter dialog, or null
    std::unique_ptr<WildCardString> filter;   // mode 1 pattern, initially "*"
    int32_t filterMode = kFilterByName;
    TypeCode filterTypeIdent = kWildcardType; // mode 2 type
    char* filterTypeName;                     // mode 2 label, initially "any type"
    int16_t listWidth = kNewViewWidth;        // width of list and label in pixels
};
