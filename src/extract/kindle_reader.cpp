#include "extract/kindle_reader.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/line_reader.h"
#include "extract/meta_details.h"
#include "extract/meta_line.h"
#include "extract/parse_location.h"
#include "extract/run_error.h"
#include "extract/show_progress.h"
#include "util/path_text.h"
#include "util/text.h"
#include "util/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace quillery {

namespace {

constexpr std::string_view kSeparator = "==========";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// No device writes a title or meta line anywhere near this long: a longer one
// means the file is no clippings log, or no text at all.
constexpr std::size_t kMaxHeadLine = std::size_t{1} << 20;

// The separator may carry trailing blanks (an edited file often does).
bool IsSeparator(std::string_view line)
{
    return line.starts_with(kSeparator) && line.find_first_not_of(' ', kSeparator.size()) == std::string_view::npos;
}

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(' ') == std::string_view::npos;
}

// The text buffer reserved up front stays below this; a larger file grows it as it is read.
constexpr std::uintmax_t kMaxReservedText = std::uintmax_t{1} << 32;

// Bytes per entry that a file of short highlights comes to (title, meta
// line, a sentence of text, separator): the tables are reserved for that many
// entries, and grow past them for a file of shorter ones. Space reserved
// for more would be address space taken for nothing by a file of long texts.
constexpr std::uintmax_t kTypicalEntry = 256;

// Meta lines longer than this are cut in the warning that quotes one.
constexpr std::size_t kQuotedMetaBytes = 300;

constexpr std::string_view kEmptyFile = "the file is empty (expected a title line)";

// Where in an entry the next line stands.
enum class Expect : std::uint8_t {
    title,
    meta,
    blank, // the line between a kept entry's meta line and its text
    text,
    skip, // the rest of an entry that is not kept
};

class KindleReader {
  public:
    KindleReader(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
        : lines_(request.path), store_(store), frontEnd_(frontEnd), encoding_(request.encoding)
    {
    }

    SkippedEntries Run();

  private:
    void ReserveText();
    void ReadEntries();
    bool NextLine(std::string_view& line);
    void OnLine(std::string_view line);
    void AtFileEnd();
    void OnTitle(std::string_view line);
    void OnMeta(std::string_view line);
    void OnSkipped(std::string_view line);
    void OnText(std::string_view line);
    bool TakeTitle(std::string_view line);
    void TakeHeldTitle();
    char KindOf(const MetaLine& meta);
    void CountSkipped(std::string_view meta);
    void Store();
    [[noreturn]] void Fail(std::int64_t line, std::string_view what) const;
    [[noreturn]] void FailAtEnd(const char* expected) const;

    LineReader lines_;
    ClipStore& store_;
    FrontEnd& frontEnd_;
    TextEncoding encoding_;
    Expect expect_ = Expect::title;
    std::int32_t currentBook_ = 0;
    bool titleEmpty_ = false;
    // A title of blanks only is taken as a book's once a line that is not
    // blank follows it: blank lines to the file's end are no entry.
    std::string heldTitle_;
    // The last title line read, as written, and the book it gave.
    std::string lastTitleLine_;
    std::int32_t lastTitleBook_ = -1;
    bool sawMetaLine_ = false;
    SkippedEntries skipped_;
    // The entry being kept; the buffers are reused from entry to entry.
    char kind_ = 0;
    std::int64_t metaLine_ = 0;
    bool hasText_ = false;
    std::size_t keptText_ = 0;
    std::string location_;
    std::string page_;
    EntryDetails details_;
    std::string text_;
    // A title or text made valid UTF-8.
    std::string scratch_;
};

SkippedEntries KindleReader::Run()
{
    try {
        ReserveText();
        ReadEntries();
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory("read", lines_.path()).AtLine(lines_.lineNumber());
    }
    // A file with no meta line of any form is no clippings log (a text file, an image renamed).
    if (!sawMetaLine_) {
        throw RunError({}, lines_.path(), "no Kindle clippings found");
    }
    return skipped_;
}

// The texts are most of the file: room for them all at once, and for the
// entries such a file typically holds.
void KindleReader::ReserveText()
{
    std::error_code unknown;
    const auto size = std::filesystem::file_size(ToFsPath(lines_.path()), unknown);
    if (!unknown) {
        store_.ReserveText(static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMaxReservedText)));
        store_.ReserveEntries(
            static_cast<std::size_t>(std::min<std::uintmax_t>(size / kTypicalEntry, ClipStore::kMaxEntries)));
    }
}

void KindleReader::ReadEntries()
{
    std::string_view line;
    while (NextLine(line)) {
        OnLine(line);
    }
    AtFileEnd();
}

// A text may be any length; a title or meta line that long means no clippings log.
bool KindleReader::NextLine(std::string_view& line)
{
    const bool head = expect_ == Expect::title || expect_ == Expect::meta;
    try {
        return lines_.Next(line, head ? kMaxHeadLine : std::string_view::npos);
    } catch (const LineTooLong& error) {
        Fail(error.line(), std::string(error.what()) + ", too long for a title or meta line");
    }
}

void KindleReader::OnLine(std::string_view line)
{
    switch (expect_) {
    case Expect::title:
        OnTitle(line);
        return;
    case Expect::meta:
        OnMeta(line);
        return;
    case Expect::blank:
        // Whatever stands there is no text; a separator ends an entry without text.
        if (IsSeparator(line)) {
            Store();
        } else {
            expect_ = Expect::text;
        }
        return;
    case Expect::text:
        OnText(line);
        return;
    case Expect::skip:
        OnSkipped(line);
        return;
    }
}

// What the end of the file means where it comes.
void KindleReader::AtFileEnd()
{
    switch (expect_) {
    case Expect::title:
        if (lines_.lineNumber() == 0) {
            Fail(1, kEmptyFile);
        }
        return;
    case Expect::meta:
        // Blank lines after the last entry are no entry.
        if (!titleEmpty_ && heldTitle_.empty()) {
            FailAtEnd("the meta line");
        }
        return;
    case Expect::blank:
        FailAtEnd("the blank line");
    case Expect::text:
        if (!hasText_) {
            FailAtEnd("the text line");
        }
        Store();
        return;
    case Expect::skip:
        return;
    }
}

void KindleReader::OnTitle(std::string_view line)
{
    expect_ = Expect::meta;
    // A byte-order mark alone is an empty file, as it is to any editor.
    if (line == kByteOrderMark && lines_.lineNumber() == 1) {
        if (lines_.AtEnd()) {
            Fail(1, kEmptyFile);
        }
        // AtEnd may have read on, past the line's bytes.
        line = {};
    }
    if (!line.empty() && IsBlank(line)) {
        heldTitle_.assign(line);
        return;
    }
    titleEmpty_ = TakeTitle(line);
}

void KindleReader::OnMeta(std::string_view line)
{
    if (!heldTitle_.empty()) {
        // After a blank title, a blank line is the meta line of an entry that no marker keeps.
        if (IsBlank(line)) {
            expect_ = Expect::skip;
            return;
        }
        TakeHeldTitle();
    }
    const MetaParts parts = SplitMetaLine(line);
    const MetaLine& classified = parts.meta;
    sawMetaLine_ = sawMetaLine_ || classified.form != MetaForm::none;
    if (classified.form == MetaForm::unknown) {
        CountSkipped(line);
    }
    kind_ = KindOf(classified);
    if (kind_ == 0) {
        // A separator in the place of the meta line ends the entry, so the next one is not lost.
        expect_ = IsSeparator(line) ? Expect::title : Expect::skip;
        return;
    }
    // The line's bytes are gone once the next line is read: its details are kept now.
    metaLine_ = lines_.lineNumber();
    const MetaDetails details = ReadMetaDetails(parts);
    page_.assign(details.page);
    details_ = {{}, details.locationStart, details.locationEnd, details.added, metaLine_ - 1};
    location_.assign(classified.location);
    text_.clear();
    hasText_ = false;
    keptText_ = 0;
    expect_ = Expect::blank;
}

void KindleReader::OnSkipped(std::string_view line)
{
    if (!heldTitle_.empty() && !IsBlank(line)) {
        TakeHeldTitle();
    }
    if (IsSeparator(line)) {
        expect_ = Expect::title;
    }
}

// The text lines are joined by CR LF; trailing empty lines are dropped.
void KindleReader::OnText(std::string_view line)
{
    if (IsSeparator(line)) {
        Store();
        return;
    }
    if (std::exchange(hasText_, true)) {
        text_ += "\r\n";
    }
    text_ += line;
    if (!line.empty()) {
        keptText_ = text_.size();
    }
}

// Finds or stores the book of the title line; true when the line is empty,
// which leaves the current book as it was.
bool KindleReader::TakeTitle(std::string_view line)
{
    if (store_.bookCount() == 0) {
        currentBook_ = 1;
    }
    // A UTF-8 file starts with a byte-order mark, and a device that rewrites its
    // log puts one (or two) before later titles too: no part of the title.
    while (line.starts_with(kByteOrderMark)) {
        line.remove_prefix(kByteOrderMark.size());
    }
    if (line.empty()) {
        return true;
    }
    // Entries of one book mostly follow each other: its title line again
    // needs no lookup.
    if (currentBook_ == lastTitleBook_ && line == lastTitleLine_) {
        return false;
    }
    lastTitleLine_.assign(line);
    line = KeptText(line, encoding_, scratch_);
    if (const std::int32_t found = store_.FindBook(line); found != 0) {
        currentBook_ = found;
    } else {
        try {
            currentBook_ = store_.AddBook(line);
        } catch (const RunError& error) {
            Fail(lines_.lineNumber(), error.what());
        }
    }
    lastTitleBook_ = currentBook_;
    return false;
}

void KindleReader::TakeHeldTitle()
{
    titleEmpty_ = TakeTitle(heldTitle_);
    heldTitle_.clear();
}

// The kind that the meta line gives ('h', 'n' or 'b'), or 0 when it gives
// none or its option is off. Every option is read once per entry.
char KindleReader::KindOf(const MetaLine& meta)
{
    const bool bookmarks = frontEnd_.OptionOn(ExtractOption::bookmarks);
    const bool highlights = frontEnd_.OptionOn(ExtractOption::highlights);
    const bool notes = frontEnd_.OptionOn(ExtractOption::notes);
    const bool wanted =
        (meta.kind == u'b' && bookmarks) || (meta.kind == u'h' && highlights) || (meta.kind == u'n' && notes);
    return wanted ? static_cast<char>(meta.kind) : char{0};
}

void KindleReader::CountSkipped(std::string_view meta)
{
    if (skipped_.count++ == 0) {
        skipped_.firstLine = lines_.lineNumber();
        skipped_.firstMeta.assign(meta);
    }
}

// Every kept entry is stored here, and progress shown after it.
void KindleReader::Store()
{
    expect_ = Expect::title;
    text_.resize(keptText_);
    try {
        details_.page = page_;
        store_.AddEntry(currentBook_, ParseLocation(location_, encoding_), kind_, KeptText(text_, encoding_, scratch_),
                        details_);
    } catch (const RunError& error) {
        Fail(metaLine_, error.what());
    }
    ShowProgress(frontEnd_, store_);
}

void KindleReader::Fail(std::int64_t line, std::string_view what) const
{
    throw RunError({}, lines_.path(), std::string(what)).AtLine(line);
}

// The file has ended inside an entry, where `expected` should have been.
void KindleReader::FailAtEnd(const char* expected) const
{
    Fail(lines_.lineNumber() + 1, std::string("the file ends inside an entry (expected ") + expected + ")");
}

} // namespace

SkippedEntries ReadKindleClippings(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    return KindleReader(request, store, frontEnd).Run();
}

std::string SkippedWarning(const SkippedEntries& skipped)
{
    if (skipped.count == 0) {
        return {};
    }
    std::string quoted = skipped.firstMeta;
    if (quoted.size() > kQuotedMetaBytes) {
        // Cut before a whole UTF-8 sequence, never inside one.
        std::size_t cut = kQuotedMetaBytes;
        while (cut > 0 && (static_cast<unsigned char>(quoted[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        quoted.resize(cut);
        quoted += "...";
    }
    return EscapeControls(std::to_string(skipped.count) +
                          " entries in a form not recognised were skipped (the first at line " +
                          std::to_string(skipped.firstLine) + ": \"" + quoted + "\")");
}

} // namespace quillery
