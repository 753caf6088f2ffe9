// MasterComponentList: filing components by type and the row encoding.
#include "projects/MasterComponentList.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/Utilities.h"
#include "projects/EngineInfo.h"
#include "projects/OKAFile.h"
#include "storage/QuickSort.h"

namespace {
constexpr const char* kEnginesName = "engines";
constexpr const char* kEnginesDescription =
    "Engine descriptors allow you to communicate with a Quenta Engine";
constexpr const char* kUnidentifiedName = "unidentified files";
constexpr const char* kUnidentifiedDescription =
    "These files have not been identified by any tools currently installed in the OKA.";
constexpr long kMaxShownIndex = 0xFFFF;  // lists and members beyond this have no row
}  // namespace

MasterComponentList::MasterComponentList(std::function<void()> changed)
    : List(kDefaultChunkSize, true, true), listChanged(std::move(changed)) {}

// Where the files of one list stand, by path: two files are equal exactly
// when they have the same type (the list's) and the same path, so an equal
// member is found without comparing the new file with every member. Other
// components (engines) are few and are compared one by one.
class MasterComponentList::MemberIndex {
  public:
    MemberIndex(const ComponentList& list, size_t expected) {
        std::vector<Item*> members = list.items();
        positions.reserve(members.size() + expected);
        for (size_t j = 0; j < members.size(); ++j)
            if (const char* key = pathOf(members[j])) positions.emplace(key, long(j));
    }

    // Files `item` in `list`: in place of an equal member (destroyed), else at the end.
    void file(ComponentList& list, Item* item) {
        const char* key = pathOf(item);
        if (key == nullptr) {
            Item* replaced = list.replace(item);
            if (replaced != item) delete replaced;
            return;
        }
        auto [place, added] = positions.emplace(key, list.getCount());
        if (added) {
            list.include(item);
            return;
        }
        // The key views the replaced member's path: view the new one's.
        long position = place->second;
        positions.erase(place);
        positions.emplace(key, position);
        Item* replaced = list.replacei(position, item);
        if (replaced != item) delete replaced;
    }

  private:
    static const char* pathOf(const Item* item) {
        auto* file = dynamic_cast<const OKAFile*>(item);
        return file != nullptr ? file->getPathname() : nullptr;
    }

    // Path (viewing the member's own) -> position in the list.
    std::unordered_map<std::string_view, long> positions;
};

ComponentList* MasterComponentList::listForType(TypeCode type, const std::string& typeName,
                                                const std::string& description) {
    long index = lookUpComponentList(type);
    if (index >= 0) return getNthList(index);
    ComponentList* list = nullptr;
    if (typeName.empty()) {
        list = type == kEngineType
                   ? new ComponentList(type, kEnginesName, kEnginesDescription)
                   : new ComponentList(type, kUnidentifiedName, kUnidentifiedDescription);
    } else {
        char name[kItemTextSize];
        std::snprintf(name, sizeof name, "%s files", typeName.c_str());
        list = new ComponentList(type, name, description.c_str());
    }
    include(list);
    index = lookUpComponentList(type);
    return index < 0 ? nullptr : getNthList(index);
}

Status MasterComponentList::addComponent(Item* item, const char* typeName,
                                         const char* description) {
    return addComponents(
        {{item, typeName != nullptr ? typeName : "", description != nullptr ? description : ""}});
}

Status MasterComponentList::addComponents(const std::vector<NewComponent>& components) {
    std::unordered_map<ComponentList*, MemberIndex> indexes;  // built on a list's first use
    Status outcome;
    for (const NewComponent& component : components) {
        ComponentList* list =
            listForType(component.item->getItemType(), component.typeName, component.description);
        if (list == nullptr) {
            outcome = Status(kErrorComponentList);
            delete component.item;
            continue;
        }
        auto found = indexes.find(list);
        if (found == indexes.end())
            found = indexes.emplace(list, MemberIndex(*list, components.size())).first;
        found->second.file(*list, component.item);
    }
    if (listChanged) listChanged();
    return outcome;
}

Item* MasterComponentList::removeComponent(const Item* item) {
    for (long i = 0; i < getCount(); ++i) {
        ComponentList* list = getNthList(i);
        Item* removed = list->remove(item);
        if (removed == nullptr) continue;
        if (list->getCount() == 0) delete remove(list);
        if (listChanged) listChanged();
        return removed;
    }
    return nullptr;
}

void MasterComponentList::removeAllComponents() {
    removeAll();
}

long MasterComponentList::lookUpComponentList(TypeCode typeIdent) const {
    for (long i = 0; i < getCount(); ++i) {
        if (getNthList(i)->getTypeIdent() == typeIdent) return i;
    }
    return -1;
}

ComponentList* MasterComponentList::getComponentList(TypeCode typeIdent) {
    long index = lookUpComponentList(typeIdent);
    return index < 0 ? nullptr : getNthList(index);
}

ComponentList* MasterComponentList::getNthList(long index) const {
    return static_cast<ComponentList*>(get(index));
}

namespace {
// The members of a list in an array, for the list sort's quicksort, which
// reads and writes by position: same algorithm, same order, no chunk walks.
struct ItemArray {
    std::vector<Item*> items;
    // Null outside the array, as List::get answers.
    Item* get(long i) const { return i >= 0 && i < getCount() ? items[size_t(i)] : nullptr; }
    void replacei(long i, Item* item) { items[size_t(i)] = item; }
    long getCount() const { return long(items.size()); }
};

void sortMembers(ComponentList& list, bool descending) {
    ItemArray array{list.items()};
    sortItems(array, descending);
    list.assign(array.items);
}
}  // namespace

void MasterComponentList::sort(bool descending) {
    for (long i = 0; i < getCount(); ++i) sortMembers(*getNthList(i), descending);
    List::sort(descending);
    if (listChanged) listChanged();
}

uint32_t MasterComponentList::headerRowValue(long listIndex) {
    return kHeaderRowMask + uint32_t(listIndex);
}

uint32_t MasterComponentList::componentRowValue(long listIndex, long memberIndex) {
    return (uint32_t(listIndex) << 16) + uint32_t(memberIndex) + 1;
}

Item* MasterComponentList::componentOfRow(uint32_t value) const {
    if (value == 0 || isHeaderRow(value)) return nullptr;
    ComponentList* list = getNthList(long(value >> 16));
    if (list == nullptr) return nullptr;
    return list->get(long(value & 0xFFFF) - 1);
}

void MasterComponentList::rowText(uint32_t value, char* text, size_t size) const {
    text[0] = '\0';
    if (isHeaderRow(value)) {
        if (ComponentList* list = getNthList(long(value & 0xFFFF)))
            copyText(text, size, list->getName());
        return;
    }
    Item* component = componentOfRow(value);
    if (auto* engine = dynamic_cast<EngineInfo*>(component)) {
        engine->printShortFormToString(text, size);
    } else if (auto* file = dynamic_cast<OKAFile*>(component)) {
        copyText(text, size, filenamePart(file->getPathname()));
    }
}

std::vector<uint32_t> MasterComponentList::projectListRows() const {
    std::vector<uint32_t> rows;
    for (long i = 0; i < getCount() && i < kMaxShownIndex; ++i) {
        ComponentList* list = getNthList(i);
        if (list->getCount() == 0) continue;
        rows.push_back(headerRowValue(i));
        for (long j = 0; j < list->getCount() && j < kMaxShownIndex; ++j)
            rows.push_back(componentRowValue(i, j));
    }
    return rows;
}
