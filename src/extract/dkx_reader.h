#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillery {

class ClipStore;
class FrontEnd;
struct RunRequest;

// The text between <what> and the first </what> at or after position `from`
// (1-based) of `where`, blanks removed at both ends; "" when either tag is
// missing. On success `from` moves to the closing tag's last character.
std::string getPar(std::int32_t& from, std::string_view what, std::string_view where);

// Reads a Duokan reading-data file (.dkx) into the store: one book, one entry
// per reading-data item. Throws RunError naming the file on failure.
void ReadDkx(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

} // namespace quillery
