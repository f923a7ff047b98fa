#pragma once

#include "extract/run_error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quillery {

// The output's folder and files are created for this run only: each takes the
// first free name, and when another process takes that name before it is
// created, the next number is tried. Nothing that exists is opened for
// writing. Failures throw RunError naming the path, and the output folder
// when there is one, since what was written stays there.

// The run's output folder, created at the first free name from `wanted` (its
// parent must exist) and opened at once: every file goes into this very
// folder, even when its path comes to name a link or another folder meanwhile.
// From here on a file too large for the process's limit is a failed write,
// not the end of the program.
class FreshFolder {
  public:
    explicit FreshFolder(const std::u16string& wanted);
    ~FreshFolder();
    FreshFolder(const FreshFolder&) = delete;
    FreshFolder& operator=(const FreshFolder&) = delete;

    const std::u16string& path() const { return path_; }

  private:
    friend class FreshFile;
    // Creates `name` in the folder, numbered like NextFileName when taken;
    // returns the open file and sets `path` to it.
    int NewFile(const std::u16string& name, std::u16string& path);

#ifdef _WIN32
    // Held without delete sharing, so that the folder can be neither renamed
    // nor removed while the run writes into it.
    using Handle = void*;
    static constexpr Handle kNoHandle = nullptr;
#else
    using Handle = int;
    static constexpr Handle kNoHandle = -1;
#endif

    std::u16string path_;
    Handle handle_ = kNoHandle;
    // Per name asked for, the number its next file starts at: only this run
    // writes here, so only a name taken by someone else is tried twice.
    std::unordered_map<std::u16string, std::int64_t> nextNumber_;
};

// A file written once from start to end, unbuffered: every write goes straight
// to the file, so a caller hands over large blocks.
class FreshFile {
  public:
    // Creates the file `name` (numbered when taken) in `folder`.
    FreshFile(FreshFolder& folder, const std::u16string& name);
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
    int handle_ = -1;
};

// "cannot <action> "<path>": <reason>", and when `folder` is not empty,
// " (the partial output stays in "<folder>")".
RunError OutputFailure(std::string_view action, std::u16string_view path, int error, std::u16string_view folder);

} // namespace quillery
