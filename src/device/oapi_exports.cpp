// Exported device-API services of the module: the shared cache, warm-up, cleanup
// of a connection, the authentication type of a capability text and the sizes of
// the two device lists.
#include "device/oapi_link.h"
#include "frame/exports.h"

using namespace nvx::device;

// A zeroed 2984-byte shared cache (size word, three pointers into itself), or null.
void* OAPICom_Create(void) { return CreateSharedCache(); }

// Frees a shared cache (ending a connection still kept in it): 1; 0 for null or
// for a pointer OAPICom_Create did not answer.
UINT_PTR OAPICom_Delete(void* cache) {
    if (DeleteSharedCache(cache)) return 1;
    if (cache) SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

void OAPI_AccessWarmUp(void) { AccessWarmUp(); }

// Logs out if logged in, ends the access if a handle is held, frees the connection.
void OAPI_Cleanup(UINT_PTR connection) { CleanupConnection(reinterpret_cast<Connection*>(connection)); }

// The argument points to the authentication type text, UTF-16.  A narrow text passed
// in its place cannot be told apart from such a pointer without reading past it, so
// it is not accepted.  Null, or a pointer to null, answers 0.
short OAPI_GetAuthType(WCHAR** capabilityText) {
    return capabilityText ? AuthTypeFromText(*capabilityText) : 0;
}

UINT_PTR OAPI_Sizeof_HeaderFooter(void) { return nvx::oapi::kHeaderFooterListSize; }

UINT_PTR OAPI_Sizeof_OverlayList(void) { return nvx::oapi::kOverlayListSize; }
