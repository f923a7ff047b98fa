#include "output/page_file.h"

#include "output/html_text.h"

namespace quillery {

namespace {

// The page goes to its file in blocks of about this size.
constexpr std::size_t kPageBlock = std::size_t{1} << 22;
// Text is escaped this much at a time: at most five times it is held back
// beyond a block.
constexpr std::size_t kEscapeSlice = std::size_t{1} << 20;

} // namespace

PageFile::PageFile(FreshFolder& folder) : file_(folder, u"all.htm") {}

void PageFile::Append(std::string_view markup)
{
    pending_ += markup;
    FlushWhenFull();
}

void PageFile::AppendEscaped(std::string_view bytes)
{
    // Each byte is escaped on its own, so the text may be cut anywhere.
    while (!bytes.empty()) {
        const std::string_view slice = bytes.substr(0, kEscapeSlice);
        AppendHtmlEscaped(pending_, slice);
        bytes.remove_prefix(slice.size());
        FlushWhenFull();
    }
}

void PageFile::Flush()
{
    file_.Write(pending_);
    pending_.clear();
}

void PageFile::Close()
{
    Flush();
    file_.Close();
}

void PageFile::FlushWhenFull()
{
    if (pending_.size() >= kPageBlock) {
        Flush();
    }
}

} // namespace quillery
