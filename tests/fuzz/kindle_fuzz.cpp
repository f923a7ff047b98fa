// Fuzzes the Kindle clippings reader. The first byte sets the options (see
// ByteFrontEnd), the rest is the file. A RunError is a normal outcome; the
// properties below must hold after every read that succeeds.
#include "fuzz_support.h"

#include "extract/clip_store.h"
#include "extract/kindle_reader.h"
#include "extract/run_error.h"
#include "util/code_page.h"
#include "util/path_text.h"
#include "util/text.h"

#include <algorithm>
#include <string>

namespace {

using namespace quillery;

void CheckEntries(const ClipStore& store)
{
    // Entries under empty title lines before the first title count for book 1, stored or not.
    const std::int32_t lastBook = std::max(store.bookCount(), 1);
    for (std::int32_t slot = 1; slot <= store.entryCount(); ++slot) {
        const ClipEntry& entry = store.entry(slot);
        FUZZ_CHECK(entry.book >= 1 && entry.book <= lastBook, "entry of a book that is not stored");
        FUZZ_CHECK(entry.kind == 'h' || entry.kind == 'n' || entry.kind == 'b', "kind other than h, n or b");
        const std::u16string text = DecodeWindows1252(store.Text(entry));
        FUZZ_CHECK(fuzz::OnlyCrLfBreaks(text), "text lines not joined by CR LF");
        FUZZ_CHECK(!text.ends_with(u"\r\n"), "text ends with an empty line");
    }
}

void CheckTitles(const ClipStore& store)
{
    for (std::int32_t book = 1; book <= store.bookCount(); ++book) {
        const std::string& title = store.bookTitle(book);
        FUZZ_CHECK(!title.empty(), "empty title stored");
        FUZZ_CHECK(title.find_first_of("\r\n") == std::string::npos, "title holds a line end");
        FUZZ_CHECK(store.FindBook(title) == book, "title stored twice or not found");
    }
}

void CheckFailure(const RunError& error, const std::u16string& path)
{
    const std::string message = error.what();
    FUZZ_CHECK(message.find(ToUtf8(path)) != std::string::npos, "failure does not name the file");
    // A file with no meta line of any form fails as a whole, with no line to name.
    FUZZ_CHECK(message.find(", line ") != std::string::npos || message.ends_with("\": no Kindle clippings found"),
               "failure does not name the line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile file("kindle", ".txt");
    const std::uint8_t options = size > 0 ? data[0] : 0x07;
    const std::u16string& path = size > 0 ? file.Write(data + 1, size - 1) : file.Write(data, 0);
    fuzz::ByteFrontEnd frontEnd(options, path);
    ClipStore store;
    try {
        ReadKindleClippings(frontEnd.requestFor(path), store, frontEnd);
    } catch (const RunError& error) {
        CheckFailure(error, path);
        return 0;
    }
    CheckEntries(store);
    CheckTitles(store);
    FUZZ_CHECK(frontEnd.captionCount() == store.entryCount(), "not one progress caption per stored entry");
    // Titles read after the last stored entry may still add books, so only the entry count is final.
    FUZZ_CHECK(store.entryCount() == 0 ||
                   frontEnd.lastCaption().starts_with(ToDecimal(store.entryCount()) + u" entries in "),
               "last caption does not show the final entry count");
    return 0;
}
