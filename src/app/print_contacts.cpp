// Printing the contacts book.
#include "app/print_contacts.h"

#include "contacts/rich_text.h"
#include "contacts/rtf_reader.h"
#include "platform/path_text.h"

#include <ostream>

#include "platform/read_file.h"

int PrintContacts(const std::filesystem::path& programDir, std::ostream& out, std::ostream& err)
{
    const std::filesystem::path file = programDir / "tel.rtf";
    std::string bytes;
    if (const std::error_code error = ReadFileSafely(file, kRichTextLimit, bytes)) {
        err << "dniarz: nie można odczytać pliku kontaktów " << PathToUtf8(file) << " (" << ReadFailureText(error)
            << ")\n";
        return 1;
    }
    const auto document = ReadRtf(bytes);
    if (!document) {
        err << "dniarz: plik kontaktów " << PathToUtf8(file) << " nie jest dokumentem RTF\n";
        return 1;
    }
    out << PlainText(*document);
    out.flush();
    return out ? 0 : 1;
}
