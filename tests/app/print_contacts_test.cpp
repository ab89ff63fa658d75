// "--contacts": the book as plain text, and one clear line when there is nothing to print.
#include "../platform/hostile_files.h"
#include "../platform/temp_dir.h"
#include "app/command_line.h"
#include "app/print_contacts.h"
#include "platform/read_file.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(PrintContacts, ParagraphsLineBreaksAndTabsAsPlainLines)
{
    TempDir dir;
    std::ofstream(dir.Path() / "tel.rtf", std::ios::binary)
        << "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 Arial;}}\\f0 Kowalski Jan\\tab "
           "\\'b3\\'f3d\\'9f\\line tel. 1\\par\\par {\\b Nowak} \\u8364?\\par}";
    std::ostringstream out, err;
    EXPECT_EQ(PrintContacts(dir.Path(), out, err), 0);
    EXPECT_EQ(out.str(), "Kowalski Jan\tłódź\ntel. 1\n\nNowak €\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ParseCommandLine({"--contacts"}).options.mode, CommandLine::Mode::Contacts);
}

TEST(PrintContacts, MissingOrForeignFileIsOneLineAndExitCodeOne)
{
    TempDir dir;
    std::ostringstream out, err;
    EXPECT_EQ(PrintContacts(dir.Path(), out, err), 1);
    EXPECT_EQ(err.str(), "dniarz: nie można odczytać pliku kontaktów " + (dir.Path() / "tel.rtf").string()
                             + " (nie ma takiego pliku)\n");
    std::ofstream(dir.Path() / "tel.rtf") << "plain words";
    err.str("");
    EXPECT_EQ(PrintContacts(dir.Path(), out, err), 1);
    EXPECT_EQ(err.str(), "dniarz: plik kontaktów " + (dir.Path() / "tel.rtf").string() + " nie jest dokumentem RTF\n");
    std::filesystem::remove(dir.Path() / "tel.rtf");
    std::filesystem::create_directory(dir.Path() / "tel.rtf");
    err.str("");
    EXPECT_EQ(PrintContacts(dir.Path(), out, err), 1);
    const std::string message = err.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_EQ(out.str(), "");
}

TEST(PrintContacts, WhatIsNoFileIsRefusedAtOnce)
{
    TempDir dir;
    const char* reasons[] = {"to nie jest zwykły plik", "to nie jest zwykły plik",
                             "plik jest większy niż dopuszczalny"};
    for (HostileFile kind : kHostileFiles) {
        SCOPED_TRACE(Name(kind));
        ASSERT_TRUE(MakeHostileFile(dir.Path() / "tel.rtf", kind, kRichTextLimit));
        std::ostringstream out, err;
        EXPECT_EQ(PrintContacts(dir.Path(), out, err), 1);
        EXPECT_EQ(err.str(), "dniarz: nie można odczytać pliku kontaktów " + (dir.Path() / "tel.rtf").string() + " ("
                                 + reasons[static_cast<int>(kind)] + ")\n");
        EXPECT_EQ(out.str(), "");
    }
}
