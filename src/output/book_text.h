#pragma once

#include "util/text_encoding.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillery {

class ClipStore;
class FrontEnd;

// The text of one book as bytes in `encoding`, from its entry slots in table
// order: one line per entry, each ended by CR LF (a text's own line ends
// become CR LF too), repaired when "fix ANSI" is on. Reads keeplocs for every
// entry and fixANSI once.
std::string FormatBookText(const ClipStore& store, std::span<const std::int32_t> slots, TextEncoding encoding,
                           FrontEnd& frontEnd);
// FormatBookText appended to `out`, so one buffer serves every book.
void AppendBookText(std::string& out, const ClipStore& store, std::span<const std::int32_t> slots,
                    TextEncoding encoding, FrontEnd& frontEnd);

} // namespace quillery
