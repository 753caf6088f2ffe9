// ComponentList: a typed group of project components.
#include "projects/ComponentList.h"

#include <cstring>

#include "core/Utilities.h"

ComponentList::ComponentList(TypeCode type, const char* listName, const char* listDescription)
    : Item(type),
      List(kDefaultChunkSize, true, false),
      typeIdent(type),
      name(newStringCopy(listName ? listName : "")),
      description(newStringCopy(listDescription ? listDescription : "")) {}

ComponentList::~ComponentList() {
    delete[] name;
    delete[] description;
}

long ComponentList::compare(const Item* other) const {
    auto* list = dynamic_cast<const ComponentList*>(other);
    return list == nullptr ? 0 : std::strcmp(name, list->name);
}
