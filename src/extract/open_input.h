#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace quillery {

struct CloseInput {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open input file, closed when it goes.
using InputFile = std::unique_ptr<std::FILE, CloseInput>;

// Opens the input file for reading as bytes. Only a regular file is taken:
// a folder, a FIFO, a device or a socket is refused, and the file is opened
// without blocking, so a FIFO that no one writes to cannot hang the run.
// Throws RunError ("cannot open "<path>": <reason>") on failure.
InputFile OpenInput(const std::u16string& path);

} // namespace quillery
