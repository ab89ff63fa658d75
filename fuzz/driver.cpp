// Replays a fuzz target without libFuzzer: every file of the corpus folder given as the first
// argument, then a fixed number of inputs made by mutating those files and by pure chance.
// Deterministic, so a failure in CI repeats on a developer's machine.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// With DNIARZ_FUZZ_INPUT naming a file, each input is written there before it runs, so that the
// one a crash or a hang stopped at can be replayed on its own.
void Run(const std::string& input)
{
    static const char* const keep = std::getenv("DNIARZ_FUZZ_INPUT");
    if (keep)
        std::ofstream(keep, std::ios::binary | std::ios::trunc) << input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> corpus;
    if (argc > 1 && std::filesystem::is_directory(argv[1])) {
        // In name order: the mutations below pick by index, and a folder lists its files in
        // whatever order its file system keeps.
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
            files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    corpus.emplace_back();
    for (const std::string& input : corpus)
        Run(input);

    std::mt19937 rng(12345);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20000;
    for (int round = 0; round < rounds; ++round) {
        std::string input = corpus[rng() % corpus.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const unsigned kind = rng() % 4;
            const std::size_t at = input.empty() ? 0 : rng() % (input.size() + 1);
            const char byte = static_cast<char>(rng() % 256);
            if (kind == 0 || input.empty())
                input.insert(input.begin() + static_cast<std::ptrdiff_t>(at), byte);
            else if (kind == 1 && at < input.size())
                input[at] = byte;
            else if (kind == 2 && at < input.size())
                input.erase(at, 1 + rng() % 16);
            else if (!input.empty())
                input.insert(at, input.substr(rng() % input.size(), 1 + rng() % 32));
        }
        Run(input);
    }
    std::printf("%zu corpus inputs and %d mutations ran clean\n", corpus.size(), rounds);
    return 0;
}
