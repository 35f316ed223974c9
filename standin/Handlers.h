// Property handlers: which properties a store of a real file may write, by the file's type.
// A type without a handler takes no writes at all.
#pragma once

#include "platform/platform.h"

#include <vector>

namespace standin {

// The file's extension with its dot, in lower case ("photo.JPG" -> ".jpg"); empty when the
// last component of the path has none.
WString ExtensionOf(const WString& path);

// The canonical names the handler for the extension writes; null when the type has none.
const std::vector<WString>* HandlerFor(const WString& extension);

// Whether a handler writes the property of this key.
bool HandlerTakes(const std::vector<WString>& handler, const PROPERTYKEY& key);

// Declares (or replaces) the handler of an extension; no names takes the handler away.
void DeclareHandler(const WString& extension, std::vector<WString> names);
// Back to the built-in handlers.
void ForgetHandlers();

} // namespace standin
