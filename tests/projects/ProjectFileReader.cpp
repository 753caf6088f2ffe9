// Header (list offset at 12), master pointer list (entries at 8, 16 bytes
// each: type, length, slop, offset), field block (count, then each field's
// length and bytes); every integer big-endian.
#include "ProjectFileReader.h"

#include "TestSupport.h"
#include "core/ByteOrder.h"
#include "core/TypeCode.h"

std::vector<std::string> recordsInFile(const std::filesystem::path& path, const char (&type)[5]) {
    std::string bytes = readFile(path);
    auto at = [&](size_t offset) {
        return offset + 4 <= bytes.size()
                   ? getBigEndian32(reinterpret_cast<const uint8_t*>(bytes.data()) + offset)
                   : 0u;
    };
    std::vector<std::string> records;
    uint32_t list = at(12);
    uint32_t entries = at(list);
    for (uint32_t k = 0; k < entries; ++k) {
        size_t entry = list + 8 + k * 16;
        if (at(entry) != typeCodeFromBytes(type)) continue;
        size_t block = at(entry + 12);
        size_t position = block + 4;
        for (uint32_t n = 0; n < at(block) && position + 4 <= bytes.size(); ++n) {
            uint32_t length = at(position);
            records.push_back(bytes.substr(position + 4, length));
            position += 4 + length;
        }
        break;
    }
    return records;
}

std::string textOf(const std::string& record) { return record.substr(0, record.find('\0')); }
