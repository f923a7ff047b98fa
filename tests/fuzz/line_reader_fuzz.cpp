// Fuzzes the block-wise line splitting of the Kindle reader with tiny
// blocks, so that lines, CR LF pairs and empty lines fall across block
// boundaries. The first byte sets the block size (1 to 64) and the second
// how often AtEnd is asked between lines; the rest is the file. Every
// reading must give the lines of a plain split at CR LF, CR or LF.
#include "fuzz_support.h"

#include "extract/line_reader.h"

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
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') {
            ++start;
        }
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    static const quillery::fuzz::ScratchFile file("line_reader", ".txt");
    const std::size_t blockSize = 1 + data[0] % 64;
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
        if (!reader.Next(line)) {
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
