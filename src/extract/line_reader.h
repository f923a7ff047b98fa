#pragma once

#include "extract/open_input.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillery {

// Thrown by LineReader::Next when the line is longer than the length allowed;
// the reader stops there, having kept no more of the line than that.
class LineTooLong : public std::length_error {
  public:
    LineTooLong(std::int64_t line, std::size_t maxLength)
        : std::length_error("the line is longer than " + std::to_string(maxLength) + " bytes"), line_(line)
    {
    }
    [[nodiscard]] std::int64_t line() const { return line_; }

  private:
    std::int64_t line_;
};

// Reads a text file line by line as raw bytes, in large blocks. A line ends
// at CR LF, at CR CR LF (a file converted twice), at a CR alone or at a LF alone; the line end is not part of the
// line, and a last line without a line end still counts. Throws RunError
// naming the path when the file cannot be opened or read.
class LineReader {
  public:
    static constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 20;

    explicit LineReader(std::u16string path, std::size_t blockSize = kDefaultBlockSize);

    // Reads the next line into `line`; false (and `line` untouched) when no
    // line is left. The view stays valid until the next call of Next or AtEnd.
    // A line longer than `maxLength` bytes throws LineTooLong.
    bool Next(std::string_view& line, std::size_t maxLength = std::string_view::npos);

    // True when no line is left to read.
    bool AtEnd();

    // The 1-based number of the line read last (0 before the first); while
    // Next runs, the line being read.
    [[nodiscard]] std::int64_t lineNumber() const { return lineNumber_; }

    [[nodiscard]] const std::u16string& path() const { return path_; }

  private:
    bool HasData();
    void CheckLength(std::size_t length, std::size_t maxLength) const;
    void ReadBlock();
    [[nodiscard]] std::size_t FindLineEnd() const;
    [[nodiscard]] bool SeesPastCr(std::size_t end) const;
    void SkipLineEnd(std::size_t end);

    std::u16string path_;
    InputFile file_;
    std::size_t blockSize_;
    // One block, after the few bytes of a line end that the last block ended inside.
    std::vector<char> block_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEof_ = false;
    std::string carry_;
    std::int64_t lineNumber_ = 0;
};

} // namespace quillery
