// OKAFile: a file component of the current project. Its component type is
// the type code that identification gave it ('????' until then); files sort
// by base name, not by directory.
#pragma once

#include "storage/Item.h"

inline constexpr TypeCode kFileItemType = typeCode("FILE");
inline constexpr TypeCode kUnidentifiedType = typeCode("????");  // no tool recognised it
inline constexpr TypeCode kTextFileType = typeCode("TEXT");      // unrecognised text file
inline constexpr TypeCode kMissingFileType = typeCode("MISS");   // not on disk

class OKAFile : public Item {
  public:
    // `path` is copied; paths are at most 255 characters (longer ones are
    // refused before a file is made, see ProjectManager).
    explicit OKAFile(const char* path);
    OKAFile(const OKAFile&) = delete;
    OKAFile& operator=(const OKAFile&) = delete;
    ~OKAFile() override;

    const char* getPathname() const { return pathname; }
    const char* getFileTypeStr() const { return fileTypeStr; }
    void setFileTypeStr(const char* name);
    void setTypeIdent(TypeCode type) { typeIdent = type; }

    TypeCode getItemType() const override { return typeIdent; }
    // Same type and the same path byte for byte.
    bool isEqual(const Item* other) const override;
    // Byte-wise comparison of the base names.
    long compare(const Item* other) const override;
    void printToString(char* buffer, size_t size) const override;

  private:
    char* pathname;               // owned full path, or null
    char* fileTypeStr = nullptr;  // owned type name from identification, or null
    TypeCode typeIdent = kUnidentifiedType;
};
