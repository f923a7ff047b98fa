#include "extract/line_reader.h"

#include "extract/open_input.h"
#include "extract/run_error.h"
#include "util/byte_scan.h"
#include "util/path_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace quillery {

namespace {

constexpr std::size_t kKeptCarry = std::size_t{1} << 20;
// CR CR LF, the longest line end.
constexpr std::size_t kLongestLineEnd = 3;

} // namespace

LineReader::LineReader(std::u16string path, std::size_t blockSize)
    : path_(std::move(path)), blockSize_(std::max<std::size_t>(blockSize, 1)), block_(blockSize_ + kLongestLineEnd - 1)
{
    file_ = OpenInput(path_);
}

bool LineReader::Next(std::string_view& line, std::size_t maxLength)
{
    // A long line's buffer is not kept for the short lines after it.
    if (carry_.capacity() > kKeptCarry) {
        std::string().swap(carry_);
    }
    carry_.clear();
    if (!HasData()) {
        return false;
    }
    // Counted from the start, so a failure while the line is read names it.
    ++lineNumber_;
    for (;;) {
        const std::size_t end = FindLineEnd();
        const bool lineEnds = end < end_ && SeesPastCr(end);
        // What is read of a line that goes on past the block is kept.
        CheckLength(carry_.size() + (end - begin_), maxLength);
        if (lineEnds) {
            const std::string_view piece(block_.data() + begin_, end - begin_);
            SkipLineEnd(end);
            if (carry_.empty()) {
                line = piece;
            } else {
                carry_.append(piece);
                line = carry_;
            }
            return true;
        }
        carry_.append(block_.data() + begin_, end - begin_);
        begin_ = end;
        if (end < end_) {
            // A CR too near the block's end to tell whether a LF follows it:
            // it stays, and the next block is read in behind it.
            ReadBlock();
        } else if (!HasData()) {
            line = carry_;
            return true;
        }
    }
}

void LineReader::CheckLength(std::size_t length, std::size_t maxLength) const
{
    if (length > maxLength) {
        throw LineTooLong(lineNumber_, maxLength);
    }
}

bool LineReader::AtEnd()
{
    return !HasData();
}

bool LineReader::HasData()
{
    while (begin_ == end_ && !atEof_) {
        ReadBlock();
    }
    return begin_ < end_;
}

// Reads a block in behind the bytes not yet read, which move to the front.
void LineReader::ReadBlock()
{
    const std::size_t kept = end_ - begin_;
    std::memmove(block_.data(), block_.data() + begin_, kept);
    errno = 0;
    const std::size_t count = std::fread(block_.data() + kept, 1, blockSize_, file_.get());
    if (count < blockSize_) {
        if (std::ferror(file_.get()) != 0) {
            throw RunError("cannot read", path_, std::generic_category().message(errno != 0 ? errno : EIO));
        }
        atEof_ = true;
    }
    begin_ = 0;
    end_ = kept + count;
}

std::size_t LineReader::FindLineEnd() const
{
    return quillery::FindLineEnd(std::string_view(block_.data(), end_), begin_);
}

// True when the line end at `end` can be told apart from a longer one: a LF
// always, a CR once the bytes that may follow it are read (or the file has ended).
bool LineReader::SeesPastCr(std::size_t end) const
{
    return block_[end] != '\r' || end + kLongestLineEnd <= end_ || atEof_;
}

// After a line's CR: a LF, or a CR and a LF, belong to the same line end.
void LineReader::SkipLineEnd(std::size_t end)
{
    begin_ = end + 1;
    if (block_[end] != '\r' || begin_ == end_) {
        return;
    }
    if (block_[begin_] == '\n') {
        ++begin_;
    } else if (block_[begin_] == '\r' && begin_ + 1 < end_ && block_[begin_ + 1] == '\n') {
        begin_ += 2;
    }
}

} // namespace quillery
