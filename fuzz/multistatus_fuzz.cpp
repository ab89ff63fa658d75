// Fuzz target: the WebDAV multistatus reader. Whatever the bytes, reading ends with a result; a
// reply that is not well formed gives no responses, and every response kept names a resource.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sync/caldav/multistatus.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MultiStatus status = ParseMultiStatus(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (const DavResponse& r : status.responses)
        if (r.href.isEmpty()) {
            std::fprintf(stderr, "multistatus_fuzz: a response without its href\n");
            std::abort();
        }
    if (!status.ok && !status.responses.empty()) {
        std::fprintf(stderr, "multistatus_fuzz: responses kept from a reply that is not well formed\n");
        std::abort();
    }
    return 0;
}
