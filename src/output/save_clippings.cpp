#include "output/save_clippings.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/book_file_name.h"
#include "output/book_slots.h"
#include "output/book_text.h"
#include "output/fresh_output.h"
#include "output/output_folder.h"
#include "output/page_file.h"
#include "util/path_text.h"
#include "util/text_encoding.h"

#include <span>
#include <vector>

namespace quillery {

namespace {

// The page's first lines. Read as UTF-8, the page says so, since a browser
// reads a page without a declared charset in a legacy encoding.
std::string_view PageHead(TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        return "<!DOCTYPE html>\r\n<HTML><HEAD><meta charset=\"utf-8\"></HEAD><BODY>\r\n";
    }
    return "<HTML><BODY>\r\n";
}

// A book's text is formed this much at a time, give or take an entry, so
// that a large book is never held whole. The cuts fall between entries' lines,
// which no "fix ANSI" repair reaches across.
constexpr std::size_t kTextBlock = std::size_t{1} << 22;

// How many of `slots`, from the first, make up the next block of text.
std::size_t BlockLength(const ClipStore& store, std::span<const std::int32_t> slots)
{
    std::size_t size = 0;
    std::size_t k = 0;
    while (k < slots.size() && size < kTextBlock) {
        size += store.entry(slots[k]).textLength;
        ++k;
    }
    return k;
}

// Writes the book's text into its file and into the page's text area, a block
// at a time; `textBytes` is the block's buffer.
void WriteBookText(const ClipStore& store, TextEncoding encoding, FrontEnd& frontEnd,
                   std::span<const std::int32_t> slots, FreshFile& book, PageFile& page, std::string& textBytes)
{
    while (!slots.empty()) {
        const std::span<const std::int32_t> block = slots.first(BlockLength(store, slots));
        slots = slots.subspan(block.size());
        textBytes.clear();
        AppendBookText(textBytes, store, block, encoding, frontEnd);
        page.AppendEscaped(textBytes);
        book.Write(textBytes);
    }
    book.Close();
}

// When a book file fails, the page still gets the rows held back so far, so
// the partial page shows every book up to the one that failed.
void KeepPartialPage(PageFile& page)
{
    try {
        page.Flush();
    } catch (const RunError&) {
        // The book file's failure is the one reported.
    }
}

// Writes "all.htm" and the book files into `folder`.
void WriteBooks(const ClipStore& store, const CleanOutcome* clean, const RunRequest& request, FrontEnd& frontEnd,
                FreshFolder& folder)
{
    const TextEncoding encoding = request.encoding;
    const BookSlots books(store, clean, true);
    PageFile page(folder);
    page.Append(PageHead(encoding));
    std::string textBytes;
    const std::int32_t bookCount = store.bookCount();
    for (std::int32_t i = 1; i <= bookCount; ++i) {
        const std::string& title = store.bookTitle(i);
        page.Append("<P><B>");
        page.AppendEscaped(title);
        page.Append("</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>");
        try {
            FreshFile book(folder, ClassicBookFileName(title, request.namePattern, encoding));
            WriteBookText(store, encoding, frontEnd, books.Of(i), book, page, textBytes);
        } catch (const RunError&) {
            KeepPartialPage(page);
            throw;
        }
        page.Append("</TEXTAREA>\r\n\r\n");
    }
    page.Append("</BODY></HTML>\r\n");
    page.Close();
}

} // namespace

std::u16string SaveClippings(const ClipStore& store, const RunRequest& request, FrontEnd& frontEnd,
                             const CleanOutcome* clean)
{
    return WriteIntoNewFolder(request, frontEnd,
                              [&](FreshFolder& folder) { WriteBooks(store, clean, request, frontEnd, folder); });
}

} // namespace quillery
