#pragma once

#include "extract/run_error.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace quillery {

// The output's folder and files are created for this run only: each takes the
// name NextFileName gives, and when another process takes that name before it
// is created, the next free name is tried. Nothing that exists is opened for
// writing. Failures throw RunError naming the path, and the output folder
// when there is one, since what was written stays there.

// Creates the folder at the first free name from `wanted` (its parent must
// exist) and returns its path.
std::u16string CreateFreshFolder(const std::u16string& wanted);

// A file written once from start to end, unbuffered: every write goes straight
// to the file, so a caller hands over large blocks.
class FreshFile {
public:
    // Creates the file at the first free name from `wanted`; `folder` is the
    // output folder named in failure messages.
    FreshFile(const std::u16string& wanted, std::u16string folder);
    ~FreshFile();
    FreshFile(const FreshFile&) = delete;
    FreshFile& operator=(const FreshFile&) = delete;

    const std::u16string& path() const { return path_; }
    void Write(std::string_view bytes);
    // Closes the file; a failure to close is a failure to write.
    void Close();

private:
    [[noreturn]] void Fail(int error) const;

    std::u16string path_;
    std::u16string folder_;
    std::FILE* file_ = nullptr;
};

// "cannot <action> "<path>": <reason>", and when `folder` is not empty,
// " (the partial output stays in "<folder>")".
RunError OutputFailure(std::string_view action, std::u16string_view path, int error, std::u16string_view folder);

} // namespace quillery
