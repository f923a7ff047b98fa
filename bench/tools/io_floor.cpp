// io_floor --in FILE (--like RUN | --sizes LIST) --out DIR
// The least file work an extraction of FILE can do: read it whole, then write
// into the new folder DIR one file for each file the run wrote under the
// folder RUN, each as large as that one (the book files and "all.htm"), with
// bytes taken from the input. LIST instead names those sizes, one a line, so
// that the run's folder can be gone before the floor starts. Prints the wall
// seconds taken, which the benchmark compares runs against; DIR should be on
// the file system the run wrote to.

#include "tools/tool_args.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
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

// The sizes of the regular files under `folder`, listed before the clock
// starts so that only the reading and writing are timed.
std::vector<std::uintmax_t> FileSizes(const fs::path& folder)
{
    std::vector<std::uintmax_t> sizes;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            sizes.push_back(entry.file_size());
        }
    }
    if (sizes.empty()) {
        throw std::runtime_error("'" + folder.string() + "' holds no files");
    }
    return sizes;
}

// The sizes listed in `list`, one a line.
std::vector<std::uintmax_t> ListedSizes(const fs::path& list)
{
    std::ifstream in(list);
    if (!in) {
        throw std::runtime_error("cannot open '" + list.string() + "'");
    }
    std::vector<std::uintmax_t> sizes;
    for (std::uintmax_t size = 0; in >> size;) {
        sizes.push_back(size);
    }
    if (!in.eof()) {
        throw std::runtime_error("'" + list.string() + "' holds something other than sizes");
    }
    if (sizes.empty()) {
        throw std::runtime_error("'" + list.string() + "' lists no sizes");
    }
    return sizes;
}

std::vector<std::uintmax_t> SizesToWrite(const quillery::bench::ToolArgs& args)
{
    const std::string like = args.Text("like", "");
    const std::string list = args.Text("sizes", "");
    if (like.empty() == list.empty()) {
        throw std::invalid_argument("give either --like or --sizes");
    }
    return like.empty() ? ListedSizes(list) : FileSizes(like);
}

} // namespace

int main(int argc, char** argv)
{
    using quillery::bench::ToolArgs;
    try {
        const ToolArgs args(argc, argv);
        const fs::path input = args.Text("in");
        const std::vector<std::uintmax_t> sizes = SizesToWrite(args);
        const fs::path folder = args.Text("out");
        const auto start = std::chrono::steady_clock::now();

        const std::vector<char> bytes = ReadWhole(input);
        if (!fs::create_directory(folder)) {
            throw std::runtime_error("'" + folder.string() + "' exists already");
        }
        std::size_t offset = 0;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            WriteFile(folder / ("file" + std::to_string(i + 1) + ".txt"), bytes, offset,
                      static_cast<std::size_t>(sizes[i]));
            offset += sizes[i];
        }

        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("%.3f\n", took.count());
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "io_floor: " << e.what() << "\nusage: io_floor --in FILE (--like RUN | --sizes LIST) --out DIR\n";
        return 1;
    }
}
