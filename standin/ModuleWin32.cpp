// The stand-in propsys.dll's entry point, and COM's state of a thread as the system's ole32
// keeps it.
#include "standin/Accounting.h"
#include "standin/Store.h"

#include "platform/platform.h"

namespace standin {

bool ComInitialisedOnThisThread() {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    return SUCCEEDED(CoGetApartmentType(&type, &qualifier));
}

} // namespace standin

// A non-null reserved pointer on detach: the process is ending, and this module may already be
// gone for whatever still calls it.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr) {
        standin::MarkProcessExitDetach();
    }
    return TRUE;
}
