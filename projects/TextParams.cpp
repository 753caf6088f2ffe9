// Bounded reading of text parameters that reports over-long texts.
#include "projects/TextParams.h"

#include <memory>

#include "core/Utilities.h"
#include "messaging/Message.h"

bool readTextParam(const Message* message, int index, char* out, size_t outSize) {
    // One byte more than the caller's buffer tells a text that exactly fits
    // from one that was cut.
    std::unique_ptr<char[]> text(new char[outSize + 1]);
    size_t length = message->getTextParam(index, text.get(), outSize + 1);
    copyText(out, outSize, text.get());
    return length < outSize;
}
