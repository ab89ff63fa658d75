// Fuzz target: desktop entries and their Exec lines never crash the browser launch's parsing, and
// the address always ends the arguments as one argument of its own.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/url_launcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string address = "https://example.org/a b\"c";
    for (const std::string& exec : {input, DesktopEntryExec(input).value_or(std::string())}) {
        const auto args = BrowserArguments(exec, address);
        if (args && (args->size() < 2 || args->back() != address || args->front().empty()))
            std::abort();
    }
    return 0;
}
