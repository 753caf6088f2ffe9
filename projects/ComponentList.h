// ComponentList: the components of the project that share one component
// type, with the name shown as the list's header in the workspace ("engines",
// "unidentified files", "<type name> files") and the type's description.
// It owns its components.
#pragma once

#include "storage/Item.h"
#include "storage/List.h"

class ComponentList : public Item, public List {
  public:
    ComponentList(TypeCode typeIdent, const char* name, const char* description);
    ~ComponentList() override;

    TypeCode getTypeIdent() const { return typeIdent; }
    const char* getName() const { return name; }
    const char* getDescription() const { return description; }

    // Lists are never merged by equality.
    bool isEqual(const Item*) const override { return false; }
    // Byte-wise comparison of the names: the master list sorts by name.
    long compare(const Item* other) const override;

  private:
    TypeCode typeIdent;  // the component type of every member
    char* name;          // owned header text
    char* description;   // owned description of the type
};
