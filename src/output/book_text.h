#pragma once

#include "util/text_encoding.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillery {

class ClipStore;
class FrontEnd;

// The text of book `s` as bytes in the run's encoding: one line per entry of
// that book in table order, each ended by CR LF (a text's own line ends
// become CR LF too), repaired when "fix ANSI" is on. Reads keeplocs for every
// entry and fixANSI once.
std::string clippings(const ClipStore& store, std::int32_t s, FrontEnd& frontEnd);

// The same text from a book's entry slots, already grouped in table order.
std::string FormatBookText(const ClipStore& store, std::span<const std::int32_t> slots, FrontEnd& frontEnd);
// FormatBookText appended to `out`, so one buffer serves every book.
void AppendBookText(std::string& out, const ClipStore& store, std::span<const std::int32_t> slots, FrontEnd& frontEnd);

// The "fix ANSI" repair: turns the common UTF-8 sequences read as
// Windows-1252 back into the characters meant, on bytes in `encoding`. In
// text read as UTF-8 a "Â" goes only before U+00A0..U+00BF, so that text read
// once stays as it is.
std::string RepairAnsi(std::string_view text, TextEncoding encoding);

} // namespace quillery
