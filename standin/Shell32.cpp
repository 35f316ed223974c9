// The stand-in shell32.dll: its one entry point is the stand-in propsys.dll's, so both modules
// share one state.
#include "platform/platform.h"

extern "C" {

__declspec(dllimport) HRESULT
    ZekStandinOpenStore(PCWSTR parsingName, IBindCtx* bindContext, GETPROPERTYSTOREFLAGS flags,
                        REFIID riid, void** object);

HRESULT SHGetPropertyStoreFromParsingName(PCWSTR path, IBindCtx* bindContext,
                                          GETPROPERTYSTOREFLAGS flags, REFIID riid, void** object) {
    return ZekStandinOpenStore(path, bindContext, flags, riid, object);
}

} // extern "C"
