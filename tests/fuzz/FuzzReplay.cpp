// Replays files through a fuzz target without libFuzzer: every file of the
// folders given goes through LLVMFuzzerTestOneInput once, in name order. The
// first folder is the target's seed corpus and must hold files; the others
// (past findings) may be missing. A broken property aborts, so the test fails
// on the file named last.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The file's bytes in a buffer of exactly their size, so that a read past
// the end shows under the sanitizers as it would under libFuzzer.
std::vector<std::uint8_t> Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS [FINDINGS...]\n", argv[0]);
        return 2;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::filesystem::path> files = FilesIn(argv[i]);
        if (i == 1 && files.empty()) {
            std::fprintf(stderr, "no seed files in %s\n", argv[i]);
            return 1;
        }
        for (const auto& file : files) {
            std::printf("%s\n", file.c_str());
            std::fflush(stdout);
            const std::vector<std::uint8_t> bytes = Contents(file);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return 0;
}
