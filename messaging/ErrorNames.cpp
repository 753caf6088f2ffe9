#include "messaging/ErrorNames.h"

namespace {
struct ErrorName {
    int32_t code;
    const char* name;
};

constexpr ErrorName kErrorNames[] = {
    {-1, "parameter types differ from the message type's template"},
    {-2, "parameter count differs from the message type's template"},
    {-3, "no handler for this message type"},
    {-301, "a tool of this type is already registered"},
    {-302, "no such tool"},
    {-304, "the tool is already loaded"},
    {-305, "the tool is not loaded"},
    {-306, "the tool has no program to start"},
    {-401, "the tool has published a command of this name before"},
    {-402, "no such command"},
    {-403, "the command's requirement is not met"},
    {-501, "the record was deleted"},
    {-506, "the file is in use"},
    {-507, "not a file of this kind"},
    {-508, "the file is damaged"},
    {-801, "the file's version is not accepted"},
    {-802, "a text is too long"},
    {-1101, "a component list could not be made"},
    {-1302, "the file is missing"},
    {-1401, "waiting for connections failed"},
    {-1402, "the program did not answer its tickle"},
    {-1403, "accepting a connection failed"},
    {-1404, "the receiver is gone: its port refused the connection"},
    {-1405, "sending failed"},
    {-1410, "refused: the sender has no port, or too many already take part"},
    {-1701, "out of memory"},
    {-1801, "no preferences file is open"},
};
}  // namespace

const char* errorName(int32_t code) {
    for (const ErrorName& entry : kErrorNames) {
        if (entry.code == code) return entry.name;
    }
    return nullptr;
}
