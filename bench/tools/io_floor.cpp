// io_floor --in FILE --books B --out DIR [--html-bytes N]
// The least file work an extraction of FILE can do: read it whole, then write
// the same number of bytes spread over B files in the new folder DIR, plus
// one file of N bytes (the size of "all.htm"; the input's size by default).
// Prints the wall seconds taken, which the benchmark compares runs against.

#include "tools/tool_args.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

std::vector<char> ReadWhole(const fs::path& path)
{
    const File in(std::fopen(path.c_str(), "rb"));
    if (!in) {
        throw std::runtime_error("cannot open '" + path.string() + "'");
    }
    std::vector<char> bytes(static_cast<std::size_t>(fs::file_size(path)));
    if (std::fread(bytes.data(), 1, bytes.size(), in.get()) != bytes.size()) {
        throw std::runtime_error("cannot read '" + path.string() + "'");
    }
    return bytes;
}

// Writes `size` bytes taken from `bytes` over and over into a new file.
void WriteFile(const fs::path& path, const std::vector<char>& bytes, std::size_t offset, std::size_t size)
{
    File out(std::fopen(path.c_str(), "wbx"));
    if (!out) {
        throw std::runtime_error("cannot create '" + path.string() + "'");
    }
    while (size > 0 && !bytes.empty()) {
        offset %= bytes.size();
        const std::size_t n = std::min(size, bytes.size() - offset);
        if (std::fwrite(bytes.data() + offset, 1, n, out.get()) != n) {
            throw std::runtime_error("cannot write '" + path.string() + "'");
        }
        offset += n;
        size -= n;
    }
    if (std::fclose(out.release()) != 0) {
        throw std::runtime_error("cannot write '" + path.string() + "'");
    }
}

} // namespace

int main(int argc, char** argv)
{
    using quillery::bench::ToolArgs;
    try {
        const ToolArgs args(argc, argv);
        const fs::path input = args.Text("in");
        const auto books = static_cast<std::size_t>(args.Number("books", 1, 1, 1000000));
        const fs::path folder = args.Text("out");
        const auto start = std::chrono::steady_clock::now();

        const std::vector<char> bytes = ReadWhole(input);
        const auto htmlBytes =
            static_cast<std::size_t>(args.Number("html-bytes", static_cast<std::int64_t>(bytes.size())));
        if (!fs::create_directory(folder)) {
            throw std::runtime_error("'" + folder.string() + "' exists already");
        }
        for (std::size_t i = 0; i < books; ++i) {
            const std::size_t from = bytes.size() * i / books;
            const std::size_t to = bytes.size() * (i + 1) / books;
            WriteFile(folder / ("book" + std::to_string(i + 1) + ".txt"), bytes, from, to - from);
        }
        WriteFile(folder / "all.htm", bytes, 0, htmlBytes);

        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%.3f\n", took.count());
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "io_floor: " << e.what() << "\nusage: io_floor --in FILE --books B --out DIR [--html-bytes N]\n";
        return 1;
    }
}
