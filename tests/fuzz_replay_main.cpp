// Runs a fuzz driver over saved inputs without libFuzzer: each argument is a
// file, or a folder whose files are all run.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static int runFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    return 0;
}

int main(int argc, char **argv)
{
    int failures = 0;
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto &entry : std::filesystem::directory_iterator(p)) {
                if (entry.is_regular_file()) {
                    failures += runFile(entry.path());
                    ++runs;
                }
            }
        } else {
            failures += runFile(p);
            ++runs;
        }
    }
    printf("%d inputs replayed\n", runs);
    return failures ? 1 : 0;
}
