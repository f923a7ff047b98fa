#include "extract/line_reader.h"

#include "extract/open_input.h"
#include "extract/run_error.h"
#include "util/path_text.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

namespace quillery {

namespace {

constexpr std::size_t kKeptCarry = std::size_t{1} << 20;

} // namespace

LineReader::LineReader(const std::u16string& path, std::size_t blockSize)
    : path_(path), block_(std::max<std::size_t>(blockSize, 1))
{
    file_.reset(OpenInput(path_));
}

bool LineReader::Next(std::string_view& line, std::size_t maxLength)
{
    // A long line's buffer is not kept for the short lines after it.
    if (carry_.capacity() > kKeptCarry) {
        std::string().swap(carry_);
    }
    carry_.clear();
    const bool hasData = HasData();
    if (std::exchange(emptyLineOwed_, false)) {
        line = {};
        ++lineNumber_;
        return true;
    }
    if (!hasData) {
        return false;
    }
    // Counted from the start, so a failure while the line is read names it.
    ++lineNumber_;
    for (;;) {
        const std::size_t end = FindLineEnd();
        if (end < end_) {
            const std::string_view piece(block_.data() + begin_, end - begin_);
            CheckLength(carry_.size() + piece.size(), maxLength);
            SkipLineEnd(end);
            if (carry_.empty()) {
                line = piece;
            } else {
                carry_.append(piece);
                line = carry_;
            }
            return true;
        }
        // The line goes on in the next block: keep its start.
        CheckLength(carry_.size() + (end_ - begin_), maxLength);
        carry_.append(block_.data() + begin_, end_ - begin_);
        begin_ = end_;
        if (!HasData()) {
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
    return !HasData() && !emptyLineOwed_;
}

bool LineReader::HasData()
{
    while (begin_ == end_ && !atEof_ && !emptyLineOwed_) {
        ReadBlock();
    }
    return begin_ < end_;
}

void LineReader::ReadBlock()
{
    errno = 0;
    const std::size_t count = std::fread(block_.data(), 1, block_.size(), file_.get());
    if (count < block_.size()) {
        if (std::ferror(file_.get()) != 0) {
            throw RunError("cannot read", path_, std::generic_category().message(errno != 0 ? errno : EIO));
        }
        atEof_ = true;
    }
    begin_ = 0;
    end_ = count;
    nextCr_ = std::string_view::npos;
    nextLf_ = std::string_view::npos;
    if (std::exchange(crCrPending_, false)) {
        if (count > 0 && block_[0] == '\n') {
            begin_ = 1;
        } else {
            // The second CR ends an empty line, and what follows it may join its line end.
            emptyLineOwed_ = true;
            SkipAfterCr();
        }
    } else if (std::exchange(skipLf_, false)) {
        SkipAfterCr();
    }
}

std::size_t LineReader::FindLineEnd()
{
    // Each kind of line end is searched once per stretch of the block, so a
    // file that uses only the other kind costs one search per block, not one per line.
    const std::string_view block(block_.data(), end_);
    if (nextCr_ == std::string_view::npos || nextCr_ < begin_) {
        nextCr_ = std::min(block.find('\r', begin_), end_);
    }
    if (nextLf_ == std::string_view::npos || nextLf_ < begin_) {
        nextLf_ = std::min(block.find('\n', begin_), end_);
    }
    return std::min(nextCr_, nextLf_);
}

void LineReader::SkipLineEnd(std::size_t end)
{
    begin_ = end + 1;
    if (block_[end] == '\r') {
        SkipAfterCr();
    }
}

// After a line's CR: a LF, or a CR and a LF, belong to the same line end.
void LineReader::SkipAfterCr()
{
    if (begin_ == end_) {
        skipLf_ = !atEof_;
        return;
    }
    if (block_[begin_] == '\n') {
        ++begin_;
        return;
    }
    if (block_[begin_] != '\r') {
        return;
    }
    if (begin_ + 1 < end_) {
        if (block_[begin_ + 1] == '\n') {
            begin_ += 2;
        }
        return;
    }
    if (!atEof_) {
        ++begin_;
        crCrPending_ = true;
    }
}

} // namespace quillery
