#pragma once

#include <cstdio>
#include <string>

namespace quillery {

// Opens the input file for reading as bytes. Only a regular file is taken:
// a folder, a FIFO, a device or a socket is refused, and the file is opened
// without blocking, so a FIFO that no one writes to cannot hang the run.
// Throws RunError ("cannot open "<path>": <reason>") on failure.
std::FILE* OpenInput(const std::u16string& path);

} // namespace quillery
