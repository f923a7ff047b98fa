// Fuzzes the block-wise line splitting of the Kindle reader with tiny
// blocks, so that lines, CR LF pairs and empty lines fall across block
// boundaries. The first byte's low six bits set the block size (1 to 64)
// and its top two the longest line allowed (none, 4, 64 or 1024 bytes); the
// second byte sets how often AtEnd is asked between lines; the rest is the
// file. Every reading must give the lines of a plain split at CR CR LF,
// CR LF, CR or LF, up to the first line that is too long, which must throw
// LineTooLong naming its number.
#include "fuzz_support.h"

#include "extract/line_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> SplitLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (end == bytes.size() || bytes[end] != '\r') {
            continue;
        }
        const std::string_view rest = bytes.substr(start);
        if (rest.starts_with('\n')) {
            ++start;
        } else if (rest.starts_with("\r\n")) {
            start += 2; // CR CR LF, a file converted twice: one line end
        }
    }
    return lines;
}

// Reads the next line; nothing once the line was too long, after checking
// that it was and that the failure names its number.
std::optional<bool> NextLine(quillery::LineReader& reader, std::string_view& line, std::size_t maxLength,
                             const std::vector<std::string>& expected, std::size_t count)
{
    const bool tooLong = count < expected.size() && expected[count].size() > maxLength;
    try {
        const bool read = reader.Next(line, maxLength);
        FUZZ_CHECK(!tooLong, "a line longer than allowed was read");
        return read;
    } catch (const quillery::LineTooLong& error) {
        FUZZ_CHECK(tooLong, "LineTooLong for a line within the length allowed");
        FUZZ_CHECK(error.line() == static_cast<std::int64_t>(count + 1), "LineTooLong names the wrong line");
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    static const quillery::fuzz::ScratchFile file("line_reader", ".txt");
    const std::size_t blockSize = 1 + data[0] % 64;
    const unsigned limit = data[0] >> 6;
    const std::size_t maxLength = limit == 0 ? std::string_view::npos : std::size_t{1} << (4 * limit - 2);
    const unsigned askPattern = data[1];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::vector<std::string> expected = SplitLines(bytes);

    quillery::LineReader reader(file.Write(data + 2, size - 2), blockSize);
    std::size_t count = 0;
    std::string_view line;
    for (;;) {
        const bool askAtEnd = ((askPattern >> (count % 8)) & 1) != 0;
        const bool atEnd = askAtEnd && reader.AtEnd();
        if (askAtEnd) {
            FUZZ_CHECK(atEnd == (count == expected.size()), "AtEnd disagrees with the lines left");
        }
        const std::optional<bool> read = NextLine(reader, line, maxLength, expected, count);
        if (!read) {
            return 0;
        }
        if (!*read) {
            break;
        }
        FUZZ_CHECK(!atEnd, "a line after AtEnd said none is left");
        FUZZ_CHECK(count < expected.size(), "more lines than the file holds");
        FUZZ_CHECK(line == expected[count], "line differs from a plain split");
        ++count;
        FUZZ_CHECK(reader.lineNumber() == static_cast<std::int64_t>(count), "wrong line number");
    }
    FUZZ_CHECK(count == expected.size(), "fewer lines than the file holds");
    FUZZ_CHECK(!reader.Next(line), "a line after the end");
    return 0;
}
