#include "output/save_clippings.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/book_file_name.h"
#include "output/book_slots.h"
#include "output/book_text.h"
#include "output/fresh_output.h"
#include "output/html_text.h"
#include "output/output_folder.h"
#include "util/path_text.h"
#include "util/text_encoding.h"

#include <new>
#include <vector>

namespace quillery {

namespace {

// The page goes to its file in blocks of about this size.
constexpr std::size_t kPageBlock = std::size_t{1} << 22;

// The page's first lines. Read as UTF-8, the page says so, since a browser
// reads a page without a declared charset in a legacy encoding.
std::string PageHead(TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        return "<!DOCTYPE html>\r\n<HTML><HEAD><meta charset=\"utf-8\"></HEAD><BODY>\r\n";
    }
    return "<HTML><BODY>\r\n";
}

void AppendBookRows(std::string& page, std::string_view titleBytes, std::string_view textBytes)
{
    page += "<P><B>";
    AppendHtmlEscaped(page, titleBytes);
    page += "</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>";
    AppendHtmlEscaped(page, textBytes);
    page += "</TEXTAREA>\r\n\r\n";
}

void WriteBookFile(const std::u16string& wanted, const std::u16string& folder, std::string_view bytes)
{
    FreshFile book(wanted, folder);
    book.Write(bytes);
    book.Close();
}

// When a book file fails, the page still gets the rows held back so far, so
// the partial page shows every book up to the one that failed.
void KeepPartialPage(FreshFile& page, std::string_view pageBytes)
{
    try {
        page.Write(pageBytes);
    } catch (const RunError&) {
        // The book file's failure is the one reported.
    }
}

// Writes "all.htm" and the book files into `folder`.
void WriteBooks(const ClipStore& store, const CleanOutcome* clean, const RunRequest& request, FrontEnd& frontEnd,
                const std::u16string& folder)
{
    const TextEncoding encoding = request.encoding;
    const BookSlots books(store, clean, true);
    FreshFile page(folder + kPathSeparator + u"all.htm", folder);
    std::string pageBytes = PageHead(encoding);
    std::string textBytes;
    const std::int32_t bookCount = store.bookCount();
    for (std::int32_t i = 1; i <= bookCount; ++i) {
        const std::string& title = store.bookTitle(i);
        textBytes.clear();
        AppendBookText(textBytes, store, books.Of(i), encoding, frontEnd);
        AppendBookRows(pageBytes, title, textBytes);
        try {
            WriteBookFile(folder + kPathSeparator + ClassicBookFileName(title, request.namePattern, encoding), folder,
                          textBytes);
        } catch (const RunError&) {
            KeepPartialPage(page, pageBytes);
            throw;
        }
        if (pageBytes.size() >= kPageBlock) {
            page.Write(pageBytes);
            pageBytes.clear();
        }
    }
    pageBytes += "</BODY></HTML>\r\n";
    page.Write(pageBytes);
    page.Close();
}

} // namespace

std::u16string SaveClippings(const ClipStore& store, const RunRequest& request, FrontEnd& frontEnd,
                             const CleanOutcome* clean)
{
    return WriteIntoNewFolder(request, frontEnd, [&](const std::u16string& folder) {
        WriteBooks(store, clean, request, frontEnd, folder);
    });
}

} // namespace quillery
