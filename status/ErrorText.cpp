// The composed error text "%d: %ls: %s": code, the extender's short name, message.
#include "extender/ZEKExtender.h"
#include "status/StatusCatalogue.h"

namespace zekextender {

void CZEKExtender::FormatErrorText(StatusCode code, WString& text) const {
    text.clear();
    WString message;
    auto own = messages.find(code);
    if (own != messages.end()) {
        message = own->second;
    } else if (IsUnknownStatusCode(code)) {
        return; // neither table knows the code: no text at all
    } else {
        GetStatusMessage(code, message);
    }
    AppendDecimal(text, code);
    text += U16(": ");
    text += shortName;
    text += U16(": ");
    text += message;
}

} // namespace zekextender
