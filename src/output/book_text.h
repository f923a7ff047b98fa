#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;

// The text of book `s`: one line per entry of that book in table order, each
// ended by CR LF, repaired when "fix ANSI" is on. Reads keeplocs for every
// entry and fixANSI once.
std::u16string clippings(const ClipStore& store, std::int32_t s, FrontEnd& frontEnd);

// The same text from a book's entry slots, already grouped in table order.
std::u16string FormatBookText(const ClipStore& store, std::span<const std::int32_t> slots, FrontEnd& frontEnd);

// The "fix ANSI" repair: turns the common UTF-8 sequences read as
// Windows-1252 back into the characters meant.
std::u16string RepairAnsi(std::u16string_view text);

} // namespace quillery
