#include "extract/dkx_reader.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/open_input.h"
#include "extract/parse_location.h"
#include "extract/run_error.h"
#include "extract/show_progress.h"
#include "extract/xml_text.h"
#include "util/path_text.h"
#include "util/text.h"
#include "util/text_encoding.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <system_error>

namespace quillery {

namespace {

constexpr auto kMaxPosition = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

std::string Quoted(const std::u16string& path)
{
    return "\"" + ToUtf8(path) + "\"";
}

std::string Failure(const char* what, const std::u16string& path, int error)
{
    return std::string(what) + " " + Quoted(path) + ": " + std::generic_category().message(error);
}

// The whole file as bytes. Its length must fit a signed 32-bit text position.
std::string ReadWholeFile(const std::u16string& path)
{
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    const std::unique_ptr<std::FILE, CloseFile> file(OpenInput(path));
    std::string bytes;
    // Sized once from the file's length: growing a string of tens of
    // megabytes by doubling copies it and faults in fresh pages each time.
    std::error_code ignored;
    const auto size = std::filesystem::file_size(ToFsPath(path), ignored);
    if (!ignored && size <= kMaxPosition) {
        bytes.reserve(static_cast<std::size_t>(size) + 1);
    }
    std::array<char, 1 << 16> block;
    for (;;) {
        errno = 0;
        const std::size_t count = std::fread(block.data(), 1, block.size(), file.get());
        bytes.append(block.data(), count);
        if (bytes.size() > kMaxPosition) {
            throw RunError("cannot read " + Quoted(path) + ": the file is larger than " + std::to_string(kMaxPosition) +
                           " bytes");
        }
        if (count < block.size()) {
            if (std::ferror(file.get()) != 0) {
                throw RunError(Failure("cannot read", path, errno != 0 ? errno : EIO));
            }
            return bytes;
        }
    }
}

// The raw value of the first element `what` in `where`.
std::u16string Element(std::u16string_view what, std::u16string_view where)
{
    std::int32_t from = 1;
    return getPar(from, what, where);
}

ClipEntry ReadItem(std::u16string_view item, std::int32_t book, TextEncoding encoding)
{
    ClipEntry entry;
    entry.book = book;
    entry.kind = TrimBlanks(DecodeXmlText(Element(u"Type", item), encoding));
    if (entry.kind == u"DIGEST") {
        entry.kind = u"h";
        entry.text = DecodeXmlText(Element(u"BookContent", item), encoding);
    } else if (entry.kind == u"COMMENT") {
        entry.kind = u"n";
        entry.text = DecodeXmlText(Element(u"UserContent", item), encoding);
    }
    const std::u16string begin = Element(u"BeginPos", item);
    entry.location = ParseLocation(DecodeXmlText(Element(u"AtomIndex", begin), encoding));
    return entry;
}

} // namespace

std::u16string getPar(std::int32_t& from, std::u16string_view what, std::u16string_view where)
{
    const std::u16string open = u"<" + std::u16string(what) + u">";
    const std::u16string close = u"</" + std::u16string(what) + u">";
    const std::size_t start = from < 1 ? 0 : static_cast<std::size_t>(from) - 1;
    const std::size_t p1 = where.find(open, start);
    if (p1 == std::u16string_view::npos) {
        return {};
    }
    const std::size_t p2 = where.find(close, p1 + 1);
    if (p2 == std::u16string_view::npos) {
        return {};
    }
    // 1-based position of the closing tag's ">".
    const std::size_t end = p2 + close.size();
    if (end > kMaxPosition) {
        throw RunError("a text of " + std::to_string(where.size()) + " characters is too long to search");
    }
    const std::size_t valueStart = p1 + open.size();
    const std::u16string_view value =
        p2 > valueStart ? where.substr(valueStart, p2 - valueStart) : std::u16string_view{};
    from = static_cast<std::int32_t>(end);
    return std::u16string(TrimBlanks(value));
}

namespace {

// Reads the items into `book`; false when the text holds no item at all.
bool ReadItems(const std::u16string& path, const std::u16string& text, std::int32_t book, ClipStore& store,
               FrontEnd& frontEnd, TextEncoding encoding)
{
    std::int32_t from = 1;
    for (std::int64_t itemNumber = 1;; ++itemNumber) {
        // A found item always moves `from` forward, so the loop ends.
        const std::int32_t before = from;
        const std::u16string item = getPar(from, u"ReadingDataItem", text);
        if (from == before) {
            return itemNumber > 1;
        }
        // An empty or blank item holds nothing to store; the items after it still count.
        if (item.empty()) {
            continue;
        }
        try {
            store.AddEntry(ReadItem(item, book, encoding));
        } catch (const RunError& error) {
            throw RunError(Quoted(path) + ", item " + std::to_string(itemNumber) + ": " + error.what());
        }
        ShowProgress(frontEnd, store);
    }
}

void ReadBook(const std::u16string& path, ClipStore& store, FrontEnd& frontEnd)
{
    const TextEncoding encoding = frontEnd.Encoding();
    const std::u16string text = DecodeText(ReadWholeFile(path), encoding);
    std::u16string title = DecodeXmlText(Element(u"BookName", text), encoding);
    const bool named = !TrimBlanks(title).empty();
    const std::int32_t book = store.AddBook(std::move(title));
    // Without a book name and without items the file holds nothing of a
    // Duokan file: it is text, binary or compressed, not one to write out.
    if (!ReadItems(path, text, book, store, frontEnd, encoding) && !named) {
        throw RunError(Quoted(path) + ": no Duokan reading data found");
    }
}

} // namespace

void ReadDkx(const std::u16string& path, ClipStore& store, FrontEnd& frontEnd)
{
    try {
        ReadBook(path, store, frontEnd);
    } catch (const std::bad_alloc&) {
        throw RunError("not enough memory to read " + Quoted(path));
    }
}

} // namespace quillery
