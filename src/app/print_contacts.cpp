// Printing the contacts book.
#include "app/print_contacts.h"

#include "contacts/rich_text.h"
#include "contacts/rtf_reader.h"
#include "platform/path_text.h"

#include <exception>
#include <fstream>
#include <iterator>
#include <ostream>

int PrintContacts(const std::filesystem::path& programDir, std::ostream& out, std::ostream& err)
{
    const std::filesystem::path file = programDir / "tel.rtf";
    std::ifstream in(file, std::ios::binary);
    std::string bytes;
    bool read = false;
    try {
        // A folder opens like a file and only fails, with an exception, when it is read.
        if (in)
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        read = in && !in.bad();
    } catch (const std::exception&) {
        read = false;
    }
    if (!read) {
        err << "dniarz: cannot read the contacts file " << PathToUtf8(file) << '\n';
        return 1;
    }
    const auto document = ReadRtf(bytes);
    if (!document) {
        err << "dniarz: the contacts file " << PathToUtf8(file) << " is not rich text (RTF)\n";
        return 1;
    }
    out << PlainText(*document);
    out.flush();
    return out ? 0 : 1;
}
