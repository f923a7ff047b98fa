#pragma once

#include "util/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quillery {

// A Duokan file's text as the run keeps it (see KeptText), read a block at a
// time: the part still needed stays in memory, so reading a file of hundreds
// of megabytes holds about a block of it. Positions count from the start of
// the whole text, which is what searching it whole would give.
class DkxTextWindow {
  public:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;

    // Reads from `file` (not owned) at its start; `path` names it in errors.
    // Throws RunError when the file is larger than a text position can count.
    DkxTextWindow(std::FILE* file, const std::u16string& path, TextEncoding encoding);

    // The file's length in bytes when the window was made (0: unknown).
    std::size_t FileSize() const { return fileSize_; }

    // The position of the first `needle` at or after `from`, reading on as far
    // as needed, or npos when the text holds none. The text before `from` may
    // be let go: a later Find or View must not reach before it.
    std::size_t Find(std::string_view needle, std::size_t from) { return Search(needle, from, false); }
    // Find, which may also let go of the text it passes.
    std::size_t FindPassing(std::string_view needle, std::size_t from) { return Search(needle, from, true); }
    // The text from `begin` to `end`, both found already; valid until the next
    // Find or Restart.
    std::string_view View(std::size_t begin, std::size_t end) const;
    // The length of the whole text (reads it to the end).
    std::size_t TotalSize();
    // Starts again at the file's start, all text dropped.
    void Restart();

  private:
    std::size_t Search(std::string_view needle, std::size_t from, bool dropPassed);
    // Lets go of the text before `position`.
    void DropBefore(std::size_t position);
    // Reads one block onto the end of the text; false at the end of the file.
    bool ReadBlock();

    std::FILE* file_;
    const std::u16string& path_;
    TextEncoding encoding_;
    std::vector<char> block_;
    std::string text_;     // the text from base_ on
    std::size_t base_ = 0; // the position of text_[0]
    std::string cut_;      // bytes of a UTF-8 sequence the last block cut short
    std::size_t fileSize_ = 0;
    std::uint64_t read_ = 0; // bytes read from the file
    bool ended_ = false;
};

} // namespace quillery
