#include "output/book_text.h"

#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "output/ansi_repair.h"
#include "util/byte_scan.h"
#include "util/text.h"

namespace quillery {

namespace {

// "…" in each encoding.
std::string_view Ellipsis(TextEncoding encoding)
{
    return encoding == TextEncoding::utf8 ? "\xE2\x80\xA6" : "\x85";
}

// Appends `text` with each of its line ends (LF, CR LF or a lone CR) as CR LF.
void AppendWithCrLf(std::string& out, std::string_view text)
{
    std::size_t runStart = 0;
    for (std::size_t i = FindLineEnd(text, 0); i < text.size(); i = FindLineEnd(text, i + 1)) {
        const bool lf = text[i] == '\n';
        const bool loneCr = !lf && (i + 1 == text.size() || text[i + 1] != '\n');
        if (!lf && !loneCr) {
            continue;
        }
        out.append(text.substr(runStart, i - runStart));
        if (lf && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
        if (loneCr) {
            out += '\n';
        }
        runStart = i + 1;
    }
    out.append(text.substr(runStart));
}

// Appends the entry's line and its CR LF. A bookmark shows only its location,
// whatever keeplocs says.
void AppendEntryLine(std::string& out, const ClipStore& store, const ClipEntry& entry, bool keeplocs,
                     std::string_view ellipsis)
{
    if (entry.kind == 'b') {
        out += "BOOKMARK @ ";
        AppendDecimal(out, entry.location);
    } else {
        if (keeplocs) {
            out += '@';
            AppendDecimal(out, entry.location);
            out += ' ';
        } else {
            out += ellipsis;
        }
        if (entry.kind == 'n') {
            out += "NOTE: ";
        }
        AppendWithCrLf(out, store.Text(entry));
    }
    out += "\r\n";
}

void FinishBookText(std::string& text, std::size_t start, TextEncoding encoding, FrontEnd& frontEnd)
{
    if (frontEnd.OptionOn(ExtractOption::fixANSI)) {
        RepairAnsiInPlace(text, encoding, start);
    }
}

} // namespace

void AppendBookText(std::string& out, const ClipStore& store, std::span<const std::int32_t> slots,
                    TextEncoding encoding, FrontEnd& frontEnd)
{
    // Room for every text and its line's marks, so the buffer grows at most once.
    std::size_t size = out.size();
    for (const std::int32_t slot : slots) {
        size += store.entry(slot).textLength + 24;
    }
    out.reserve(size);
    const std::size_t start = out.size();
    const std::string_view ellipsis = Ellipsis(encoding);
    for (std::size_t k = 0; k < slots.size(); ++k) {
        store.PrefetchAhead(slots, k);
        AppendEntryLine(out, store, store.entry(slots[k]), frontEnd.OptionOn(ExtractOption::keeplocs), ellipsis);
    }
    FinishBookText(out, start, encoding, frontEnd);
}

std::string FormatBookText(const ClipStore& store, std::span<const std::int32_t> slots, TextEncoding encoding,
                           FrontEnd& frontEnd)
{
    std::string result;
    AppendBookText(result, store, slots, encoding, frontEnd);
    return result;
}

} // namespace quillery
