#include "storage/Item.h"

#include <cstdio>
#include <cstring>

#include "core/Utilities.h"

void Item::printToString(char* buffer, size_t size) const {
    if (buffer != nullptr) copyText(buffer, size, "item");
}

StringItem::StringItem(const char* text)
    : Item(typeCode("FILE")), string(text ? newStringCopy(text) : newEmptyString()) {}

StringItem::~StringItem() {
    delete[] string;
}

void StringItem::setString(const char* text) {
    delete[] string;
    string = text ? newStringCopy(text) : newEmptyString();
}

bool StringItem::isEqual(const Item* other) const {
    if (other == nullptr || other->getItemType() != getItemType()) return false;
    auto* otherString = dynamic_cast<const StringItem*>(other);
    return otherString != nullptr && std::strcmp(string, otherString->string) == 0;
}

void StringItem::printToString(char* buffer, size_t size) const {
    if (buffer != nullptr) copyText(buffer, size, string);
}

bool NumberItem::isEqual(const Item* other) const {
    if (other == nullptr || other->getItemType() != getItemType()) return false;
    auto* otherNumber = dynamic_cast<const NumberItem*>(other);
    return otherNumber != nullptr && otherNumber->number == number;
}

long NumberItem::compare(const Item* other) const {
    auto* otherNumber = dynamic_cast<const NumberItem*>(other);
    if (otherNumber == nullptr) return 0;
    // The sign of (other - this) in 32-bit arithmetic, reversed.
    int32_t difference = int32_t(uint32_t(otherNumber->number) - uint32_t(number));
    return difference > 0 ? -1 : (difference < 0 ? 1 : 0);
}

void NumberItem::printToString(char* buffer, size_t size) const {
    if (buffer != nullptr) std::snprintf(buffer, size, "%ld", long(number));
}
