#include "workspace/ErrorText.h"

#include <cstdio>

#include "core/HasErrorReporting.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "workspace/AlertWindow.h"

namespace {
constexpr const char* kLogSource = "../alerts";

struct ErrorText {
    int32_t code;
    const char* text;
};

constexpr const char* kSymbolFileText = "the symbol file is missing or invalid";

constexpr ErrorText kErrorTexts[] = {
    {-501, kSymbolFileText},
    {-502, kSymbolFileText},
    {-503, kSymbolFileText},
    {-504, kSymbolFileText},
    {-505, kSymbolFileText},
    {-602, kSymbolFileText},
    {-801, "the Browser preferences file is invalid"},
    {-802, "the Browser preferences file is an incompatible version"},
    {-803, "an error occurred reading the preferences file"},
    {-804, "an error occurred writing the preferences file"},
    {-1701, "there is insufficient memory to complete that operation"},
    {-1702, "there is insufficient memory"},
};

}  // namespace

void convertErrorToText(int32_t code, char* text, size_t size, unsigned char /*flag*/) {
    if (text == nullptr || size == 0) return;
    const char* found = "an unknown error occurred";
    for (const ErrorText& entry : kErrorTexts) {
        if (entry.code == code) {
            found = entry.text;
            break;
        }
    }
    copyText(text, size, found);
}

long alertThisError(int32_t code) {
    char reason[kErrorTextSize];
    convertErrorToText(code, reason, sizeof reason, 0);
    char message[kErrorTextSize + 64];
    std::snprintf(message, sizeof message, "Unable to complete that operation because %s.", reason);
    OKA_LOG("%s", message);
    return displayAlertWindow(message, kAlertCritical, nullptr, nullptr, nullptr, nullptr, 1,
                              nullptr);
}

long alertLastError(const HasErrorReporting& reporter) {
    return alertThisError(reporter.getLastError());
}

void alertIfFailed(Status outcome) {
    if (!outcome.ok()) alertThisError(outcome.code());
}
