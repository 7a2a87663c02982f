// Runs a fuzz target once on every file of the given folders: the normal test run replays the checked-in corpus so.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            std::ostringstream bytes;
            bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.str().data()), bytes.str().size());
            ++replayed;
        }
    return replayed ? 0 : 1;  // an empty corpus tries nothing
}
