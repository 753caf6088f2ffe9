// MasterComponentList: the project's components grouped by component type,
// one ComponentList per type. New lists are appended; sort orders the lists
// by name and each list's members by their own order (files by base name).
//
// Rows of the workspace's project list name what they show with a 32-bit
// client data value, and every other list reuses those values:
//   header of list i          0xFFFF0000 + i   (a list without members has none)
//   member j of list i        (i << 16) + j + 1
//   past the last row         0
// so at most 65535 lists and 65535 members per list can be shown.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Result.h"
#include "projects/ComponentList.h"
#include "storage/List.h"

inline constexpr int32_t kErrorComponentList = -1101;  // a list could not be created
inline constexpr uint32_t kHeaderRowMask = 0xFFFF0000u;

class MasterComponentList : public List {
  public:
    // `listChanged` rebuilds the project list view after every change.
    explicit MasterComponentList(std::function<void()> listChanged);

    // A component to be filed, with the type name and description that
    // name its list when the list has to be created.
    struct NewComponent {
        Item* item;
        std::string typeName;
        std::string description;
    };

    // Files `item` under the list of its component type, creating the list
    // (named from `typeName`) when needed; an equal member is replaced.
    // Takes the item, destroying it when no list could take it
    // (kErrorComponentList).
    Status addComponent(Item* item, const char* typeName, const char* description);
    // Files each component in turn as addComponent does, in time linear in
    // the number of components, and rebuilds the view once. Takes the items;
    // kErrorComponentList when any of them could not be filed.
    Status addComponents(const std::vector<NewComponent>& components);
    // Takes the member equal to `item` out and hands it back (not
    // destroyed); a list left empty goes too. Null when no list held one.
    Item* removeComponent(const Item* item);
    void removeAllComponents();

    long lookUpComponentList(TypeCode typeIdent) const;
    // Null when there is no list of that type.
    ComponentList* getComponentList(TypeCode typeIdent);
    ComponentList* getNthList(long index) const;

    virtual void sort(bool descending);

    // Client data of the rows of the project list.
    static uint32_t headerRowValue(long listIndex);
    static uint32_t componentRowValue(long listIndex, long memberIndex);
    static bool isHeaderRow(uint32_t value) { return (value & kHeaderRowMask) == kHeaderRowMask; }
    // The component a row value names, or null for 0, a header or a stale value.
    Item* componentOfRow(uint32_t value) const;

    // The text a row shows, cut to `size` bytes: a header the list's name,
    // an engine its short form, a file its base name.
    void rowText(uint32_t value, char* text, size_t size) const;
    // The rows of the project list, top to bottom: one header per non-empty
    // list, then one row per member.
    std::vector<uint32_t> projectListRows() const;

  private:
    class MemberIndex;

    // The list of `type`, created when there is none yet; null when it
    // cannot be created.
    ComponentList* listForType(TypeCode type, const std::string& typeName,
                               const std::string& description);

    std::function<void()> listChanged;  // rebuilds the project list view
};
