#include "output/book_text.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "output/ansi_repair.h"
#include "util/text.h"

namespace quillery {

namespace {

constexpr char16_t kEllipsis = 0x2026;

// Appends `text` with each of its line ends (LF, CR LF or a lone CR) as CR LF.
void AppendWithCrLf(std::u16string& out, std::u16string_view text)
{
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lf = text[i] == u'\n';
        const bool loneCr = text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n');
        if (!lf && !loneCr) {
            continue;
        }
        out.append(text.substr(runStart, i - runStart));
        if (lf && (i == 0 || text[i - 1] != u'\r')) {
            out += u'\r';
        }
        out += text[i];
        if (loneCr) {
            out += u'\n';
        }
        runStart = i + 1;
    }
    out.append(text.substr(runStart));
}

// Appends the entry's line and its CR LF. A bookmark shows only its location,
// whatever keeplocs says.
void AppendEntryLine(std::u16string& out, const ClipEntry& entry, bool keeplocs)
{
    if (entry.kind == u"b") {
        out += u"BOOKMARK @ ";
        out += ToDecimal(entry.location);
    } else {
        if (keeplocs) {
            out += u'@';
            out += ToDecimal(entry.location);
            out += u' ';
        } else {
            out += kEllipsis;
        }
        if (entry.kind == u"n") {
            out += u"NOTE: ";
        }
        AppendWithCrLf(out, entry.text);
    }
    out += u"\r\n";
}

void FinishBookText(std::u16string& text, FrontEnd& frontEnd)
{
    if (frontEnd.OptionOn(ExtractOption::fixANSI)) {
        RepairAnsiInPlace(text, frontEnd.Encoding());
    }
}

} // namespace

std::u16string clippings(const ClipStore& store, std::int32_t s, FrontEnd& frontEnd)
{
    std::u16string result;
    const std::int32_t entryCount = store.entryCount();
    for (std::int32_t j = 1; j <= entryCount; ++j) {
        const ClipEntry& entry = store.entry(j);
        if (entry.book == s) {
            AppendEntryLine(result, entry, frontEnd.OptionOn(ExtractOption::keeplocs));
        }
    }
    FinishBookText(result, frontEnd);
    return result;
}

std::u16string FormatBookText(const ClipStore& store, std::span<const std::int32_t> slots, FrontEnd& frontEnd)
{
    // Room for every text and its line's marks, so the result grows once.
    std::size_t size = 0;
    for (const std::int32_t slot : slots) {
        size += store.entry(slot).text.size() + 24;
    }
    std::u16string result;
    result.reserve(size);
    for (const std::int32_t slot : slots) {
        AppendEntryLine(result, store.entry(slot), frontEnd.OptionOn(ExtractOption::keeplocs));
    }
    FinishBookText(result, frontEnd);
    return result;
}

} // namespace quillery
