// The records of a project file. A project file is a block database of file
// type 'PRJ ', data version 1, whose typed records are read and written
// through PrefMan; records are numbered from 1 within their type. Integers
// are big-endian; texts are NUL-terminated with zero bytes after the
// terminator.
//
//   'FCMP'  one per file component, in master-list order, 256 bytes:
//             0  256  full path name
//   'ENGN'  one per engine descriptor, in master-list order, 36 bytes:
//             0   32  machine name
//            32    4  TCP port, signed
//   'MWTH'  exactly one, 2 bytes:
//             0    2  width of the project list and its label, signed
//   'VIEW'  one per component view, left to right, 524 bytes:
//             0    4  filter mode: 1 name pattern, 2 component type
//             4  256  name pattern
//           260    2  list width, signed
//           262    2  padding, zero, ignored on reading
//           264    4  filter component type code
//           268  256  filter component type name
//   'PATH'  one per project path in search order (GlobalPathManager):
//           the directory, NUL-terminated, its length plus one bytes
//
// Decoding never trusts a record: texts are cut at their field's end, so a
// record without a terminator reads as its first 255 (or 31) characters.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/TypeCode.h"
#include "core/Utilities.h"

inline constexpr TypeCode kProjectFileType = typeCode("PRJ ");
inline constexpr short kProjectVersion = 1;

inline constexpr TypeCode kFileRecord = typeCode("FCMP");
inline constexpr TypeCode kEngineRecord = typeCode("ENGN");
inline constexpr TypeCode kListWidthRecord = typeCode("MWTH");
inline constexpr TypeCode kViewRecord = typeCode("VIEW");
inline constexpr TypeCode kPathRecord = typeCode("PATH");
inline constexpr TypeCode kCurrentProjectRecord = typeCode("CPRJ");  // in the preferences

inline constexpr long kFileRecordSize = 256;
inline constexpr long kEngineRecordSize = 36;
inline constexpr long kMachineFieldSize = 32;
inline constexpr long kListWidthRecordSize = 2;
inline constexpr long kViewRecordSize = 524;

struct EngineRecord {
    char machine[kMachineFieldSize] = {};  // always terminated after decoding
    int32_t port = 0;
};

struct ViewRecord {
    int32_t filterMode = 0;
    char pattern[kPathSize] = {};
    int16_t listWidth = 0;
    TypeCode filterType = 0;
    char filterTypeName[kPathSize] = {};
};

// Each encoder fills exactly its record size of bytes; texts longer than
// their field are cut (callers refuse them before they get here).
void encodeFileRecord(const char* path, uint8_t* out);
void decodeFileRecord(const uint8_t* in, long length, char* path, size_t pathSize);
void encodeEngineRecord(const char* machine, int32_t port, uint8_t* out);
// False when the record is shorter than its layout.
bool decodeEngineRecord(const uint8_t* in, long length, EngineRecord& record);
void encodeListWidthRecord(int16_t width, uint8_t* out);
bool decodeListWidthRecord(const uint8_t* in, long length, int16_t& width);
void encodeViewRecord(const ViewRecord& record, uint8_t* out);
bool decodeViewRecord(const uint8_t* in, long length, ViewRecord& record);
