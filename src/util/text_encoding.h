#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillery {

// How a run reads its input and writes its output.
// - utf8: input read as UTF-8, where each byte of a sequence that is not
//   valid UTF-8 reads as its Windows-1252 character, so no byte is lost;
//   output written as UTF-8.
// - windows1252: one character per byte both ways, through Windows-1252.
enum class TextEncoding { utf8, windows1252 };

inline constexpr TextEncoding kDefaultEncoding = TextEncoding::utf8;

// "utf-8" and "windows-1252", the names the user chooses by.
std::string_view EncodingName(TextEncoding encoding);
std::optional<TextEncoding> EncodingNamed(std::string_view name);

std::u16string DecodeText(std::string_view bytes, TextEncoding encoding);
void AppendDecodedText(std::u16string& out, std::string_view bytes, TextEncoding encoding);
void AppendEncodedText(std::string& out, std::u16string_view text, TextEncoding encoding);

// UTF-8 with the Windows-1252 reading of every byte that starts no valid
// sequence (an overlong form, a surrogate, a code point above U+10FFFF or a
// cut sequence).
void AppendDecodedUtf8(std::u16string& out, std::string_view bytes);

// The bytes of what AppendDecodedUtf8 reads, written as UTF-8: valid
// sequences as they stand, every other byte as its Windows-1252 character.
void AppendValidUtf8(std::string& out, std::string_view bytes);
// Whether `bytes` is valid UTF-8 throughout (runs of ASCII are skipped a block at a time).
bool IsValidUtf8(std::string_view bytes);

// `bytes` as a run keeps text: the bytes themselves in Windows-1252, valid
// UTF-8 in UTF-8, so every later step can work on bytes. A text kept so
// decodes to the characters DecodeText gives for `bytes`. `bytes` is
// returned as it stands when it needs no change, else written to `scratch`
// and that is returned.
std::string_view KeptText(std::string_view bytes, TextEncoding encoding, std::string& scratch);

} // namespace quillery
