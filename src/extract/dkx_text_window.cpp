#include "extract/dkx_text_window.h"

#include "extract/run_error.h"
#include "util/byte_scan.h"
#include "util/path_text.h"
#include "util/utf8.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <system_error>

namespace quillery {

namespace {

constexpr auto kMaxFileSize = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());

RunError TooLarge(const std::u16string& path)
{
    return {"cannot read", path, "the file is larger than " + std::to_string(kMaxFileSize) + " bytes"};
}

} // namespace

DkxTextWindow::DkxTextWindow(std::FILE* file, const std::u16string& path, TextEncoding encoding)
    : file_(file), path_(path), encoding_(encoding)
{
    // Refused at once rather than after reading two gigabytes of it; the
    // count of bytes read catches a file that grows meanwhile.
    std::error_code unknown;
    const auto size = std::filesystem::file_size(ToFsPath(path), unknown);
    if (!unknown && size > kMaxFileSize) {
        throw TooLarge(path);
    }
    fileSize_ = unknown ? 0 : static_cast<std::size_t>(size);
}

bool DkxTextWindow::ReadBlock()
{
    if (ended_) {
        return false;
    }
    block_.resize(kBlock);
    errno = 0;
    const std::size_t count = std::fread(block_.data(), 1, block_.size(), file_);
    read_ += count;
    if (read_ > kMaxFileSize) {
        throw TooLarge(path_);
    }
    if (count < block_.size()) {
        if (std::ferror(file_) != 0) {
            throw RunError("cannot read", path_, std::generic_category().message(errno != 0 ? errno : EIO));
        }
        ended_ = true;
    }
    const std::size_t before = text_.size();
    std::string_view bytes(block_.data(), count);
    if (encoding_ == TextEncoding::windows1252) {
        text_.append(bytes);
        return text_.size() > before || !ended_;
    }
    // A sequence cut by the block's end is judged once the next block is read.
    if (!cut_.empty()) {
        cut_.append(bytes);
        bytes = cut_;
    }
    const std::size_t keep = ended_ ? 0 : Utf8CutLength(bytes);
    AppendValidUtf8(text_, bytes.substr(0, bytes.size() - keep));
    cut_ = std::string(bytes.substr(bytes.size() - keep));
    return text_.size() > before || !ended_;
}

std::size_t DkxTextWindow::Search(std::string_view needle, std::size_t from, bool dropPassed)
{
    std::size_t scan = std::max(from, base_);
    for (;;) {
        const std::size_t at = FindBytes(text_, needle, scan - base_);
        if (at != std::string_view::npos) {
            return base_ + at;
        }
        // A needle may start in the last bytes and end in the next block.
        const std::size_t end = base_ + text_.size();
        scan = std::max(scan, end - std::min(end - base_, needle.size() - 1));
        DropBefore(dropPassed ? scan : from);
        if (!ReadBlock()) {
            return std::string_view::npos;
        }
    }
}

std::string_view DkxTextWindow::View(std::size_t begin, std::size_t end) const
{
    return std::string_view(text_).substr(begin - base_, end - begin);
}

void DkxTextWindow::DropBefore(std::size_t position)
{
    const std::size_t drop = std::min(position, base_ + text_.size()) - std::min(position, base_);
    // Moving what stays costs a copy; done once half the text can go, that
    // copies each byte about once.
    if (drop > 0 && drop >= text_.size() / 2) {
        text_.erase(0, drop);
        base_ += drop;
    }
}

std::size_t DkxTextWindow::TotalSize()
{
    while (ReadBlock()) {
        DropBefore(base_ + text_.size());
    }
    return base_ + text_.size();
}

void DkxTextWindow::Restart()
{
    std::rewind(file_);
    text_.clear();
    cut_.clear();
    base_ = 0;
    read_ = 0;
    ended_ = false;
}

} // namespace quillery
