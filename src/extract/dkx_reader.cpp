#include "extract/dkx_reader.h"

#include "extract/added_date.h"
#include "extract/clip_store.h"
#include "extract/dkx_text_window.h"
#include "extract/front_end.h"
#include "extract/open_input.h"
#include "extract/parse_location.h"
#include "extract/run_error.h"
#include "extract/show_progress.h"
#include "extract/xml_text.h"
#include "util/byte_scan.h"
#include "util/path_text.h"
#include "util/text.h"
#include "util/text_encoding.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>

namespace quillery {

namespace {

constexpr auto kMaxPosition = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

// A text held whole, searched as a DkxTextWindow is.
struct WholeText {
    std::string_view text;

    std::size_t Find(std::string_view needle, std::size_t from) const { return FindBytes(text, needle, from); }
    std::size_t FindPassing(std::string_view needle, std::size_t from) const { return Find(needle, from); }
    std::string_view View(std::size_t begin, std::size_t end) const { return text.substr(begin, end - begin); }
    std::size_t TotalSize() const { return text.size(); }
};

// An element's opening and closing tags, built once per reading.
struct Tags {
    explicit Tags(std::string_view what) : open("<" + std::string(what) + ">"), close("</" + std::string(what) + ">") {}
    std::string open;
    std::string close;
};

// getPar on prepared tags, giving a view into `where` (a WholeText or a
// DkxTextWindow).
template <typename Text> std::string_view FindElement(std::int32_t& from, const Tags& tags, Text& where)
{
    const std::size_t start = from < 1 ? 0 : static_cast<std::size_t>(from) - 1;
    // Nothing before the opening tag is needed again.
    const std::size_t p1 = where.FindPassing(tags.open, start);
    if (p1 == std::string_view::npos) {
        return {};
    }
    const std::size_t p2 = where.Find(tags.close, p1 + 1);
    if (p2 == std::string_view::npos) {
        return {};
    }
    // 1-based position of the closing tag's ">".
    const std::size_t end = p2 + tags.close.size();
    if (end > kMaxPosition) {
        throw RunError("a text of " + std::to_string(where.TotalSize()) + " characters is too long to search");
    }
    const std::size_t valueStart = p1 + tags.open.size();
    const std::string_view value = p2 > valueStart ? where.View(valueStart, p2) : std::string_view{};
    from = static_cast<std::int32_t>(end);
    return TrimBlanks(value);
}

// The raw value of the first element in `where`.
std::string_view Element(const Tags& tags, std::string_view where)
{
    std::int32_t from = 1;
    WholeText whole{where};
    return FindElement(from, tags, whole);
}

// The tags of one reading-data item, and a buffer reused from item to item.
class ItemReader {
  public:
    explicit ItemReader(TextEncoding encoding) : encoding_(encoding) {}

    void Read(std::string_view item, std::int64_t itemNumber, std::int32_t book, ClipStore& store)
    {
        const char kind = KindOf(item);
        text_.clear();
        // Only a DIGEST or a COMMENT brings a text.
        if (digest_) {
            AppendDecodedXmlText(text_, Element(bookContent_, item));
        } else if (comment_) {
            AppendDecodedXmlText(text_, Element(userContent_, item));
        }
        location_.clear();
        AppendDecodedXmlText(location_, Element(atomIndex_, Element(beginPos_, item)));
        const std::int32_t begin = ParseLocation(location_, encoding_);
        location_.clear();
        AppendDecodedXmlText(location_, Element(atomIndex_, Element(endPos_, item)));
        // An item without its end position covers its begin only.
        const std::int32_t end = location_.empty() ? begin : ParseLocation(location_, encoding_);
        const EntryDetails details{
            {}, begin, std::max(begin, end), ReadNumericDate(Element(createTime_, item)), itemNumber};
        store.AddEntry(book, begin, kind, text_, details);
    }

  private:
    // DIGEST is a highlight and COMMENT a note; a type that is itself "h", "n"
    // or "b" counts as that kind, no type as none, any other as kOtherKind.
    char KindOf(std::string_view item)
    {
        type_.clear();
        AppendDecodedXmlText(type_, Element(typeTag_, item));
        const std::string_view type = TrimBlanks(type_);
        digest_ = type == "DIGEST";
        comment_ = type == "COMMENT";
        if (digest_) {
            return 'h';
        }
        if (comment_) {
            return 'n';
        }
        if (type.empty()) {
            return 0;
        }
        if (type == "h" || type == "n" || type == "b") {
            return type[0];
        }
        return ClipEntry::kOtherKind;
    }

    TextEncoding encoding_;
    Tags typeTag_{"Type"};
    Tags bookContent_{"BookContent"};
    Tags userContent_{"UserContent"};
    Tags beginPos_{"BeginPos"};
    Tags endPos_{"EndPos"};
    Tags createTime_{"CreateTime"};
    Tags atomIndex_{"AtomIndex"};
    std::string type_;
    std::string text_;
    std::string location_;
    bool digest_ = false;
    bool comment_ = false;
};

} // namespace

std::string getPar(std::int32_t& from, std::string_view what, std::string_view where)
{
    WholeText whole{where};
    return std::string(FindElement(from, Tags(what), whole));
}

namespace {

// Reads the items into `book`; false when the text holds no item at all.
bool ReadItems(const std::u16string& path, DkxTextWindow& text, std::int32_t book, ClipStore& store, FrontEnd& frontEnd,
               TextEncoding encoding)
{
    const Tags itemTags("ReadingDataItem");
    ItemReader items(encoding);
    std::int32_t from = 1;
    for (std::int64_t itemNumber = 1;; ++itemNumber) {
        // A found item always moves `from` forward, so the loop ends.
        const std::int32_t before = from;
        const std::string_view item = FindElement(from, itemTags, text);
        if (from == before) {
            return itemNumber > 1;
        }
        // An empty or blank item holds nothing to store; the items after it still count.
        if (item.empty()) {
            continue;
        }
        try {
            items.Read(item, itemNumber, book, store);
        } catch (RunError& error) {
            throw error.At(path).AtItem(itemNumber);
        }
        ShowProgress(frontEnd, store);
    }
}

void ReadBook(const std::u16string& path, TextEncoding encoding, ClipStore& store, FrontEnd& frontEnd)
{
    const InputFile file = OpenInput(path);
    DkxTextWindow text(file.get(), path, encoding);
    store.ReserveText(text.FileSize());
    std::int32_t titleFrom = 1;
    const std::string title = DecodeXmlText(FindElement(titleFrom, Tags("BookName"), text));
    // The items are read from the start again, so the search for the title
    // holds nothing it passed, even when the title comes last or not at all.
    text.Restart();
    const bool named = !TrimBlanks(title).empty();
    const std::int32_t book = store.AddBook(title);
    // Without a book name and without items the file holds nothing of a
    // Duokan file: it is text, binary or compressed, not one to write out.
    if (!ReadItems(path, text, book, store, frontEnd, encoding) && !named) {
        throw RunError({}, path, "no Duokan reading data found");
    }
}

} // namespace

void ReadDkx(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    try {
        ReadBook(request.path, request.encoding, store, frontEnd);
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory("read", request.path);
    }
}

} // namespace quillery
