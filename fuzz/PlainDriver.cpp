// Runs a fuzz target over the files and folders named on the command line,
// for builds without libFuzzer and for the seed corpus as an ordinary test.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    size_t runs = 0;
    auto runFile = [&](const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), {});
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++runs;
    };
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        if (fs::is_directory(arg)) {
            for (const auto& e : fs::recursive_directory_iterator(arg)) {
                if (e.is_regular_file()) runFile(e.path());
            }
        } else if (fs::is_regular_file(arg)) {
            runFile(arg);
        } else {
            std::cerr << "no such file or folder: " << arg << '\n';
            return 1;
        }
    }
    if (runs == 0) {
        std::cerr << "no inputs\n";
        return 1;
    }
    std::cout << "ran " << runs << " inputs without a crash\n";
    return 0;
}
