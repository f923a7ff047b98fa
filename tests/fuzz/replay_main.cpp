// Runs a fuzz target's function once over each saved input, without
// libFuzzer: any compiler builds it, and ctest replays the corpus and the
// regressions with it. A broken property aborts with the input named just
// above it in the output.
#include "replay_inputs.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::string ReadInput(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read \"" + path.string() + "\"");
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::vector<std::filesystem::path> inputs =
            quillery::fuzz::ReplayInputs(std::vector<std::filesystem::path>(argv + 1, argv + argc));
        if (inputs.empty()) {
            std::fprintf(stderr, "replay: no inputs found\n");
            return 1;
        }
        for (const std::filesystem::path& input : inputs) {
            std::printf("replaying %s\n", input.c_str());
            std::fflush(stdout);
            const std::string bytes = ReadInput(input);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
        std::printf("replayed %zu inputs\n", inputs.size());
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "replay: %s\n", error.what());
        return 1;
    }
}
