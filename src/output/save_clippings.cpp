#include "output/save_clippings.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/book_text.h"
#include "output/fresh_output.h"
#include "output/page_file.h"
#include "util/path_text.h"
#include "util/sys_safe_chars.h"
#include "util/text_encoding.h"

#include <filesystem>
#include <new>
#include <span>
#include <vector>

namespace quillery {

namespace {

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

// A title with nothing left for a name (a blank one) would make a hidden,
// nameless ".txt", and one that begins with a dot a hidden file: leading
// dots, and blanks after them, go before the name is made safe, since in
// UTF-8 a last dot becomes "_".
std::u16string BookFileName(std::string_view title, TextEncoding encoding)
{
    std::u16string decoded = DecodeText(title, encoding);
    decoded.erase(0, decoded.find_first_not_of(u". "));
    const std::u16string name = SysSafeChars(decoded, encoding);
    return (name.empty() ? u"Untitled" : name) + u".txt";
}

// Writes the book's text into its file and into the page's text area, a block
// at a time; `textBytes` is the block's buffer.
void WriteBookText(const ClipStore& store, FrontEnd& frontEnd, std::span<const std::int32_t> slots, FreshFile& book,
                   PageFile& page, std::string& textBytes)
{
    while (!slots.empty()) {
        const std::span<const std::int32_t> block = slots.first(BlockLength(store, slots));
        slots = slots.subspan(block.size());
        textBytes.clear();
        AppendBookText(textBytes, store, block, frontEnd);
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
void WriteBooks(const ClipStore& store, FrontEnd& frontEnd, FreshFolder& folder)
{
    const BookSlots books(store);
    PageFile page(folder);
    const TextEncoding encoding = frontEnd.Encoding();
    page.Append(PageHead(encoding));
    std::string textBytes;
    const std::int32_t bookCount = store.bookCount();
    for (std::int32_t i = 1; i <= bookCount; ++i) {
        const std::string& title = store.bookTitle(i);
        page.Append("<P><B>");
        page.AppendEscaped(title);
        page.Append("</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>");
        try {
            FreshFile book(folder, BookFileName(title, encoding));
            WriteBookText(store, frontEnd, books.Of(i), book, page, textBytes);
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

std::u16string SaveClippings(const ClipStore& store, FrontEnd& frontEnd, const std::u16string& baseFolder)
{
    FreshFolder output(WantedFolder(baseFolder));
    const std::u16string& folder = output.path();
    frontEnd.SetCaption(std::u16string(kSavingCaption));
    try {
        frontEnd.Yield();
    } catch (const RunAbandoned&) {
        // A run given up writes nothing: the folder is still empty and goes.
        std::error_code ignored;
        std::filesystem::remove(ToFsPath(folder), ignored);
        throw;
    }
    try {
        WriteBooks(store, frontEnd, output);
    } catch (const std::bad_alloc&) {
        throw RunError("not enough memory to write the output (the partial output stays in \"" + ToUtf8(folder) +
                       "\")");
    }
    return folder;
}

} // namespace quillery
