// ComponentView: one of the user's extra lists beside the project list in
// the workspace, showing the components that pass its filter: files whose
// full path matches a name pattern (mode 1), or components of one type
// (mode 2). The view is the list's model: its filter, the label text that
// follows from it, and its width. It holds no components of its own, and no
// widgets: the window side (kelvane) gives each view a column, fills it from
// the project list and observes the view for width changes. Views are
// stored in the project file as 'VIEW' records (see ProjectRecords.h).
#pragma once

#include <cstdint>
#include <memory>

#include "storage/Notifier.h"
#include "storage/WildCardString.h"

inline constexpr int32_t kFilterByName = 1;
inline constexpr int32_t kFilterByType = 2;
inline constexpr int16_t kNewViewWidth = 130;
// Sent by setListWidth to the view's observers; the data pointer is null.
inline constexpr long kViewWidthChanged = long(typeCode("VWTH"));

class ComponentView : public Notifier {
  public:
    ComponentView();
    ComponentView(const ComponentView&) = delete;
    ComponentView& operator=(const ComponentView&) = delete;
    ~ComponentView() override;

    // The filter setters leave the shown rows as they are: the caller
    // refills the view (ProjectManager::setUpComponentView) once all of
    // them are set.
    // A new case-sensitive pattern (null stands for "*").
    void setFilter(const char* pattern);
    // Nothing when `type` is 0.
    void setFilterComponentType(TypeCode type, const char* name);
    void setFilterMode(int32_t mode) { filterMode = mode; }
    // The width of the view's list and label in pixels.
    int16_t getListWidth() const { return listWidth; }
    // Sets the width; the shown column follows at once.
    void setListWidth(int16_t width);

    int32_t getFilterMode() const { return filterMode; }
    const WildCardString& getFilter() const { return *filter; }
    TypeCode getFilterTypeIdent() const { return filterTypeIdent; }
    const char* getFilterTypeName() const { return filterTypeName; }
    // The label's text: the pattern in mode 1, the type name in mode 2.
    const char* getLabelText() const;

    // True when the view shows `component`.
    bool passesFilter(const Item* component) const;

  private:
    std::unique_ptr<WildCardString> filter;  // mode 1 pattern, initially "*"
    int32_t filterMode = kFilterByName;
    TypeCode filterTypeIdent = kWildcardType;  // mode 2 type
    char* filterTypeName;                      // mode 2 label, initially "any type"
    int16_t listWidth = kNewViewWidth;         // width of list and label in pixels
};
