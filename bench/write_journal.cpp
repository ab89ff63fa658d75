// Writes the notes benchmarks' journal (journal_sample.h) to a file, for the benchmarks that run
// the program itself beside other tools: write_journal FILE [RECORDS].
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "journal_sample.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: write_journal FILE [RECORDS]\n";
        return 2;
    }
    const int records = argc > 2 ? std::atoi(argv[2]) : kSampleRecords;
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << BuildSampleJournal(records);
    return out.flush() ? 0 : 1;
}
