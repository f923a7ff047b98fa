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

// Meta lines longer than this are cut in the warning that quotes one.
constexpr std::size_t kQuotedMetaBytes = 300;

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
    bool NextHead(std::string_view& line);
    bool TakeTitle(std::string_view line);
    bool TakeBlankTitle(std::string_view& line);
    char KindOf(const MetaLine& meta);
    void CountSkipped(std::string_view meta);
    bool ReadEntryAfterTitle(std::string_view meta);
    bool ReadStoredEntry(char kind, std::string_view location);
    bool ReadText(std::string_view first);
    bool SkipToSeparator();
    void Store(char kind, std::int64_t metaLine);
    void NextOrFail(std::string_view& line, const char* expected);
    [[noreturn]] void Fail(std::int64_t line, std::string_view what) const;

    LineReader lines_;
    ClipStore& store_;
    FrontEnd& frontEnd_;
    TextEncoding encoding_;
    std::int32_t currentBook_ = 0;
    bool sawMetaLine_ = false;
    SkippedEntries skipped_;
    // Buffers reused from entry to entry.
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

// The texts are most of the file: room for them all at once.
void KindleReader::ReserveText()
{
    std::error_code unknown;
    const auto size = std::filesystem::file_size(ToFsPath(lines_.path()), unknown);
    if (!unknown) {
        store_.ReserveText(static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMaxReservedText)));
    }
}

void KindleReader::ReadEntries()
{
    std::string_view line;
    if (!NextHead(line)) {
        Fail(1, "the file is empty (expected a title line)");
    }
    // A byte-order mark alone is an empty file, as it is to any editor.
    if (line == kByteOrderMark) {
        if (lines_.AtEnd()) {
            Fail(1, "the file is empty (expected a title line)");
        }
        line = {};
    }
    for (;;) {
        if (IsBlank(line) && !line.empty()) {
            if (TakeBlankTitle(line)) {
                return;
            }
            continue;
        }
        const bool emptyTitle = TakeTitle(line);
        if (!NextHead(line)) {
            // Blank lines after the last entry are no entry.
            if (emptyTitle) {
                return;
            }
            Fail(lines_.lineNumber() + 1, "the file ends inside an entry (expected the meta line)");
        }
        if (ReadEntryAfterTitle(line) || !NextHead(line)) {
            return;
        }
    }
}

// Reads a line that stands where a title or a meta line does.
bool KindleReader::NextHead(std::string_view& line)
{
    try {
        return lines_.Next(line, kMaxHeadLine);
    } catch (const LineTooLong& error) {
        Fail(error.line(), std::string(error.what()) + ", too long for a title or meta line");
    }
}

// A title line of blanks only: when nothing but blank lines follows it, the
// file has ended. Otherwise it is read as any title, and `line` is left at
// the next entry's title; true when the file has ended.
bool KindleReader::TakeBlankTitle(std::string_view& line)
{
    const std::string title(line);
    bool blankMeta = false;
    // Only the line after the title can be a meta line; after a blank one come text lines.
    while (blankMeta ? lines_.Next(line) : NextHead(line)) {
        if (!IsBlank(line)) {
            TakeTitle(title);
            // The first blank line was the meta line of an entry that no marker keeps.
            const bool ended = blankMeta ? (!IsSeparator(line) && SkipToSeparator()) : ReadEntryAfterTitle(line);
            return ended || !NextHead(line);
        }
        blankMeta = true;
    }
    return true;
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
    line = KeptText(line, encoding_, scratch_);
    if (const std::int32_t found = store_.FindBook(line); found != 0) {
        currentBook_ = found;
        return false;
    }
    try {
        currentBook_ = store_.AddBook(line);
    } catch (const RunError& error) {
        Fail(lines_.lineNumber(), error.what());
    }
    return false;
}

// The kind that the meta line gives ('h', 'n' or 'b'), or 0 when it gives
// none or its option is off. Every option is read once per entry.
char KindleReader::KindOf(const MetaLine& meta)
{
    const bool bookmarks = frontEnd_.OptionOn(ExtractOption::bookmarks);
    const bool highlights = frontEnd_.OptionOn(ExtractOption::highlights);
    const bool notes = frontEnd_.OptionOn(ExtractOption::notes);
    const bool wanted = (meta.kind == u'b' && bookmarks) || (meta.kind == u'h' && highlights) ||
                        (meta.kind == u'n' && notes);
    return wanted ? static_cast<char>(meta.kind) : char{0};
}

void KindleReader::CountSkipped(std::string_view meta)
{
    if (skipped_.count++ == 0) {
        skipped_.firstLine = lines_.lineNumber();
        skipped_.firstMeta.assign(meta);
    }
}

// Reads the entry from its meta line on; true when the file has ended.
bool KindleReader::ReadEntryAfterTitle(std::string_view meta)
{
    const MetaLine classified = ClassifyMetaLine(meta);
    sawMetaLine_ = sawMetaLine_ || classified.form != MetaForm::none;
    if (classified.form == MetaForm::unknown) {
        CountSkipped(meta);
    }
    const char kind = KindOf(classified);
    if (kind != 0) {
        // The line's bytes are gone once the next line is read: its details are kept now.
        const MetaDetails details = ReadMetaDetails(meta);
        page_.assign(details.page);
        details_ = {{}, details.locationStart, details.locationEnd, details.added, lines_.lineNumber() - 1};
        return ReadStoredEntry(kind, classified.location);
    }
    // A separator in the place of the meta line ends the entry, so the next one is not lost.
    return IsSeparator(meta) ? false : SkipToSeparator();
}

bool KindleReader::ReadStoredEntry(char kind, std::string_view location)
{
    const std::int64_t metaLine = lines_.lineNumber();
    location_.assign(location);
    text_.clear();
    bool ended = false;
    std::string_view line;
    // A separator where the blank line or the text should be ends an entry without text.
    NextOrFail(line, "the blank line");
    if (!IsSeparator(line)) {
        NextOrFail(line, "the text line");
        if (!IsSeparator(line)) {
            ended = ReadText(line);
        }
    }
    Store(kind, metaLine);
    return ended;
}

// Collects the text lines up to the separator, joined by CR LF, without
// trailing empty lines; true when the file ends instead of a separator.
bool KindleReader::ReadText(std::string_view first)
{
    text_.assign(first);
    std::size_t kept = text_.size();
    std::string_view line;
    while (lines_.Next(line)) {
        if (IsSeparator(line)) {
            text_.resize(kept);
            return false;
        }
        text_ += "\r\n";
        text_ += line;
        if (!line.empty()) {
            kept = text_.size();
        }
    }
    text_.resize(kept);
    return true;
}

// Skips a dropped entry; true when the file ends before a separator.
bool KindleReader::SkipToSeparator()
{
    std::string_view line;
    while (lines_.Next(line)) {
        if (IsSeparator(line)) {
            return false;
        }
    }
    return true;
}

void KindleReader::Store(char kind, std::int64_t metaLine)
{
    try {
        details_.page = page_;
        store_.AddEntry(currentBook_, ParseLocation(location_, encoding_), kind, KeptText(text_, encoding_, scratch_),
                        details_);
    } catch (const RunError& error) {
        Fail(metaLine, error.what());
    }
    ShowProgress(frontEnd_, store_);
}

// Reads a line that the entry must have; fails when the file has ended.
void KindleReader::NextOrFail(std::string_view& line, const char* expected)
{
    if (!lines_.Next(line)) {
        Fail(lines_.lineNumber() + 1, std::string("the file ends inside an entry (expected ") + expected + ")");
    }
}

void KindleReader::Fail(std::int64_t line, std::string_view what) const
{
    throw RunError({}, lines_.path(), std::string(what)).AtLine(line);
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
