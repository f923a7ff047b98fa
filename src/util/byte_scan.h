#pragma once

#include <cstddef>
#include <string_view>

namespace quillery {

// Fast searches of byte texts, sixteen bytes at a time (eight where the
// processor lacks SSE2): each gives the position of the first byte at or
// after `from` that it looks for, or text.size().

// "&", "<" or ">": the bytes that HTML escaping changes.
std::size_t FindHtmlSpecial(std::string_view text, std::size_t from);

// CR or LF.
std::size_t FindLineEnd(std::string_view text, std::size_t from);

// "&" or "<": the bytes where XML text stops being plain.
std::size_t FindXmlMarkup(std::string_view text, std::size_t from);

// 0xC2, 0xC3, 0xE2 or 0xE3: the bytes that can start a "fix ANSI" repair.
std::size_t FindRepairStart(std::string_view text, std::size_t from);

// 0xC3 followed by 0x82, 0x83, 0xA2 or 0xA3 (the bytes whose bits 0xDE read
// 0x82): in UTF-8, the starts of "Â", "Ã" and "â" (and "ã"), where a "fix
// ANSI" repair of text read twice can start.
std::size_t FindUtf8RepairStart(std::string_view text, std::size_t from);

// A byte of 0x80 or more: the first that is no ASCII character.
std::size_t FindNonAscii(std::string_view text, std::size_t from);

// A byte that starts no valid UTF-8 sequence.
std::size_t FindInvalidUtf8(std::string_view text, std::size_t from);

// What text.find(needle, from) gives, found faster where the needle's first
// byte is common (as "<" in XML): a place must also hold the needle's last
// byte at the right distance before the rest is compared.
std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from);

} // namespace quillery
