#include "output/save_clippings.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/book_file_name.h"
#include "output/book_text.h"
#include "output/fresh_output.h"
#include "output/html_text.h"
#include "util/path_text.h"
#include "util/text_encoding.h"

#include <filesystem>
#include <new>
#include <span>
#include <vector>

namespace quillery {

namespace {

// The page goes to its file in blocks of about this size.
constexpr std::size_t kPageBlock = std::size_t{1} << 22;

bool IsSeparator(char16_t c)
{
    return c == kPathSeparator || c == u'/';
}

std::u16string WantedFolder(const std::u16string& baseFolder)
{
    std::u16string folder = baseFolder;
    if (!folder.empty() && IsSeparator(folder.back())) {
        folder.pop_back();
    }
    return folder + kPathSeparator + u"My Clippings";
}

// Every book's entry slots in table order, from one counting pass over the
// book numbers. An entry whose book is not in 1..bookCount belongs to none.
class BookSlots {
  public:
    explicit BookSlots(const ClipStore& store) : first_(static_cast<std::size_t>(store.bookCount()) + 2, 0)
    {
        const std::int32_t bookCount = store.bookCount();
        const std::int32_t entryCount = store.entryCount();
        for (std::int32_t j = 1; j <= entryCount; ++j) {
            const std::int32_t book = store.entry(j).book;
            if (book >= 1 && book <= bookCount) {
                ++first_[static_cast<std::size_t>(book) + 1];
            }
        }
        for (std::size_t b = 1; b < first_.size(); ++b) {
            first_[b] += first_[b - 1];
        }
        slots_.resize(first_.back());
        std::vector<std::size_t> next(first_.begin(), first_.end() - 1);
        for (std::int32_t j = 1; j <= entryCount; ++j) {
            const std::int32_t book = store.entry(j).book;
            if (book >= 1 && book <= bookCount) {
                slots_[next[static_cast<std::size_t>(book)]++] = j;
            }
        }
    }

    std::span<const std::int32_t> Of(std::int32_t book) const
    {
        const auto b = static_cast<std::size_t>(book);
        return std::span<const std::int32_t>(slots_).subspan(first_[b], first_[b + 1] - first_[b]);
    }

  private:
    std::vector<std::size_t> first_; // book b's slots are slots_[first_[b]] up to slots_[first_[b + 1]]
    std::vector<std::int32_t> slots_;
};

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
void WriteBooks(const ClipStore& store, TextEncoding encoding, FrontEnd& frontEnd, const std::u16string& folder)
{
    const BookSlots books(store);
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
            WriteBookFile(folder + kPathSeparator +
                              BookFileName(kClassicNamePattern, {title, title, {}}, encoding, u".txt"),
                          folder, textBytes);
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

std::u16string SaveClippings(const ClipStore& store, const RunRequest& request, FrontEnd& frontEnd)
{
    std::u16string folder = CreateFreshFolder(WantedFolder(request.baseFolder));
    frontEnd.EnterPhase(RunPhase::saving);
    try {
        // The last moment the run can be given up: the folder is still empty.
        frontEnd.Yield();
    } catch (const RunAbandoned&) {
        std::error_code ignored;
        std::filesystem::remove(ToFsPath(folder), ignored);
        throw;
    }
    try {
        WriteBooks(store, request.encoding, frontEnd, folder);
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory("write the output").KeepingOutputIn(folder);
    }
    return folder;
}

} // namespace quillery
