// The module's static objects, defined together in this one file because their order
// matters and C++ fixes an order only within a file: objects are constructed in the order they
// are defined here and destroyed in reverse, whatever the order in which files are linked.
//
// 1. The message catalogue, so that every later failure can be worded.
// 2. The property-system binding, which the extender object loads and unloads: made before it
//    and destroyed after it.
// 3. The extender object, which publishes itself as TheExtender.
// The function table is initialised before any code runs (a constant initialiser), so it
// needs no start-up; it is not constant: definition requests lower its names in place and set
// its ids. DllMain comes after all of them.
//
// None of them may let an exception escape into the host's loader: each one that allocates
// stops a failure itself and leaves what it could not build empty.
#include "propstore/MyExtender.h"
#include "properties/binding/PropertySystemApi.h"
#include "status/StatusCatalogue.h"

#include <new>

std::map<StatusCode, WString> StatusCatalogue;

namespace {

// Without memory for its messages the catalogue stays empty: codes then compose an empty
// error text instead of the module failing to load.
const bool CatalogueBuilt = [] {
    try {
        BuildStatusCatalogue();
        return true;
    } catch (const std::bad_alloc&) {
        StatusCatalogue.clear();
        return false;
    }
}();

} // namespace

namespace zekextender {

PropertySystemApi PropertySystem;

namespace {
CMyExtender Extender;
} // namespace

} // namespace zekextender
