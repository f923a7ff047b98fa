// make_dkx --items N --seed S --out FILE
// Writes a Duokan reading-data file (.dkx) for one book of N items: about
// four in five highlights ("DIGEST"), the rest comments ("COMMENT"), with
// entities such as &amp; left in the texts as the format has them.

#include "tools/random_text.h"
#include "tools/tool_args.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

using quillery::bench::RandomText;

// The text with some of its " and " written as the entity "&amp;".
std::string WithEntities(RandomText& random, std::string text)
{
    for (std::size_t at = text.find(" and "); at != std::string::npos; at = text.find(" and ", at + 1)) {
        if (random.Percent(50)) {
            text.replace(at + 1, 3, "&amp;");
        }
    }
    return text;
}

void AppendPosition(std::string& out, const char* tag, std::int64_t chapter, std::int64_t atom)
{
    out += "      <";
    out += tag;
    out += "><ChapterIndex>" + std::to_string(chapter) + "</ChapterIndex><ParaIndex>" + std::to_string(atom / 40) +
           "</ParaIndex><AtomIndex>" + std::to_string(atom) + "</AtomIndex></";
    out += tag;
    out += ">\n";
}

void AppendItem(std::string& out, RandomText& random, std::int64_t& lastAtom)
{
    const bool comment = random.Percent(20);
    std::int64_t atom = random.Between(0, 200000);
    if (lastAtom >= 0 && random.Percent(10)) {
        atom = lastAtom; // ties, as two items on one spot
    }
    lastAtom = atom;
    const std::int64_t length = random.Percent(3) ? random.Between(400, 1000) : random.Between(10, 210);
    out += "    <ReadingDataItem>\n      <Type>";
    out += comment ? "COMMENT" : "DIGEST";
    out += "</Type>\n";
    AppendPosition(out, "BeginPos", atom / 5000, atom);
    AppendPosition(out, "EndPos", atom / 5000, atom + length);
    out += "      <BookContent>" + WithEntities(random, random.Sentence(length)) + "</BookContent>\n";
    if (comment) {
        out +=
            "      <UserContent>" + WithEntities(random, random.Sentence(random.Between(5, 120))) + "</UserContent>\n";
    }
    out += "    </ReadingDataItem>\n";
}

} // namespace

int main(int argc, char** argv)
{
    using namespace quillery::bench;
    try {
        const ToolArgs args(argc, argv);
        const std::int64_t items = args.Number("items", 1000);
        RandomText random(static_cast<std::uint64_t>(args.Number("seed", 1)));
        const std::string path = args.Text("out");

        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) {
            std::cerr << "make_dkx: cannot create '" << path << "'\n";
            return 1;
        }
        std::string buffer = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ReadingData>\n  <BookName>" +
                             WithEntities(random, random.Title()) + "</BookName>\n  <ReadingDataItems>\n";
        std::int64_t lastAtom = -1;
        for (std::int64_t i = 0; i < items; ++i) {
            AppendItem(buffer, random, lastAtom);
            if (buffer.size() >= (1u << 20)) {
                out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                buffer.clear();
            }
        }
        buffer += "  </ReadingDataItems>\n</ReadingData>\n";
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        out.close();
        if (!out) {
            std::cerr << "make_dkx: writing '" << path << "' failed\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make_dkx: " << e.what() << "\nusage: make_dkx --items N --seed S --out FILE\n";
        return 2;
    }
}
