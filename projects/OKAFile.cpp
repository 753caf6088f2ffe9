// OKAFile: equality, ordering and text form of a project file.
#include "projects/OKAFile.h"

#include <cstring>

#include "core/Utilities.h"

OKAFile::OKAFile(const char* path)
    : Item(kFileItemType), pathname(path ? newStringCopy(path) : nullptr) {}

OKAFile::~OKAFile() {
    delete[] pathname;
    delete[] fileTypeStr;
}

void OKAFile::setFileTypeStr(const char* name) {
    delete[] fileTypeStr;
    fileTypeStr = name ? newStringCopy(name) : nullptr;
}

bool OKAFile::isEqual(const Item* other) const {
    if (other == nullptr || other->getItemType() != getItemType()) return false;
    auto* file = dynamic_cast<const OKAFile*>(other);
    if (file == nullptr) return false;
    if (pathname == nullptr && file->pathname == nullptr) return true;
    return pathname != nullptr && file->pathname != nullptr &&
           std::strcmp(pathname, file->pathname) == 0;
}

long OKAFile::compare(const Item* other) const {
    auto* file = dynamic_cast<const OKAFile*>(other);
    if (file == nullptr) return 0;
    // Compared where they lie: sorting a large project compares often.
    return std::strcmp(filenamePart(pathname), filenamePart(file->pathname));
}

void OKAFile::printToString(char* buffer, size_t size) const {
    if (buffer != nullptr) copyText(buffer, size, pathname ? pathname : "");
}
