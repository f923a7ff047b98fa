#pragma once

#include "extract/clip_store.h"
#include "util/code_page.h"

#include <cstdint>
#include <string>

namespace quillery::test {

// An entry as characters, for tests that build or check a store: the kind as
// a text ("h", "n", "b", "" for none, "?" for another kind) and the text
// read in Windows-1252.
struct TextEntry {
    std::int32_t book = 0;
    std::int32_t location = 0;
    std::u16string kind;
    std::u16string text;
};

inline bool operator==(const TextEntry& a, const TextEntry& b)
{
    return a.book == b.book && a.location == b.location && a.kind == b.kind && a.text == b.text;
}

// The store's kind code for a kind text: any text other than "", "h", "n" or "b" is another kind.
inline char KindCode(const std::u16string& kind)
{
    if (kind.empty()) {
        return 0;
    }
    if (kind == u"h" || kind == u"n" || kind == u"b") {
        return static_cast<char>(kind[0]);
    }
    return ClipEntry::kOtherKind;
}

inline std::u16string KindText(char kind)
{
    return kind == 0 ? std::u16string() : std::u16string(1, static_cast<char16_t>(kind));
}

inline void AddEntry(ClipStore& store, const TextEntry& entry)
{
    store.AddEntry(entry.book, entry.location, KindCode(entry.kind), EncodeWindows1252(entry.text));
}

inline TextEntry EntryAt(const ClipStore& store, std::int32_t slot)
{
    const ClipEntry& entry = store.entry(slot);
    return {entry.book, entry.location, KindText(entry.kind), DecodeWindows1252(store.Text(entry))};
}

inline std::u16string TitleOf(const ClipStore& store, std::int32_t book)
{
    return DecodeWindows1252(store.bookTitle(book));
}

} // namespace quillery::test
