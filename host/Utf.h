// UTF-8 <-> UTF-16 for script text, paths and transcripts. Scripts and transcripts are UTF-8
// bytes; everything exchanged with the extender is UTF-16 (WCHAR).
#pragma once

#include "common/Utf.h"

namespace zekhost {

using zekutf::AppendUtf16;
using zekutf::DecodeUtf8;
using zekutf::Utf16ToUtf8;
using zekutf::Utf8ToUtf16;

} // namespace zekhost
