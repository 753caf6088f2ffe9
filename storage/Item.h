// Item: the polymorphic element of every List in the system, and the two small
// concrete items StringItem ('FILE') and NumberItem ('NUMB').
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/TypeCode.h"

// The size of the buffers that callers usually hand printToString.
inline constexpr int kItemTextSize = 256;

class Item {
  public:
    Item() = default;
    explicit Item(TypeCode type) : itemType(type) {}
    Item(const Item&) = default;
    Item& operator=(const Item&) = default;

    // Overridden by every concrete item; the defaults are stated per slot.
    virtual ~Item() = default;
    // Default: true only for this very object.
    virtual bool isEqual(const Item* other) const { return other == this; }
    // Negative: this orders before other; 0: equal; positive: after. Default 0.
    virtual long compare(const Item* /*other*/) const { return 0; }
    // Default: the item type set by the constructor.
    virtual TypeCode getItemType() const { return itemType; }
    // One-line text form into `buffer` of `size` bytes, cut to fit; null
    // buffers are ignored.
    virtual void printToString(char* buffer, size_t size) const;

  protected:
    TypeCode itemType = 0;  // concrete kind of the item
};

// An item holding a copy of a text.
class StringItem : public Item {
  public:
    explicit StringItem(const char* text = nullptr);
    StringItem(const StringItem&) = delete;
    StringItem& operator=(const StringItem&) = delete;
    ~StringItem() override;

    void setString(const char* text);
    const char* getString() const { return string; }

    bool isEqual(const Item* other) const override;
    void printToString(char* buffer, size_t size) const override;

  private:
    char* string;  // owned copy, never null
};

// An item holding a number.
class NumberItem : public Item {
  public:
    explicit NumberItem(int32_t n = 0) : Item(typeCode("NUMB")), number(n) {}

    int32_t getNumber() const { return number; }

    bool isEqual(const Item* other) const override;
    long compare(const Item* other) const override;
    void printToString(char* buffer, size_t size) const override;

  private:
    int32_t number;
};
