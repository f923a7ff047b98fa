// make_clippings --entries N --books B --seed S [--format older|newer] --out FILE
// Writes a Kindle clippings file of N entries over B books with the older or
// the newer devices' meta lines (older by default), the same bytes for the
// same arguments on every platform.

#include "tools/clippings_generator.h"
#include "tools/tool_args.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace quillery::bench;
    try {
        const ToolArgs args(argc, argv);
        ClippingsShape shape;
        shape.entries = args.Number("entries", 1000);
        shape.books = static_cast<std::int32_t>(args.Number("books", 10, 1, 100000));
        shape.seed = static_cast<std::uint64_t>(args.Number("seed", 1));
        const std::string format = args.Text("format", "older");
        if (format != "older" && format != "newer") {
            throw std::invalid_argument("--format needs older or newer, got '" + format + "'");
        }
        shape.form = format == "older" ? MetaForm::older : MetaForm::newer;
        const std::string path = args.Text("out");

        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) {
            std::cerr << "make_clippings: cannot create '" << path << "'\n";
            return 1;
        }
        ClippingsGenerator(shape).Write(out);
        out.close();
        if (!out) {
            std::cerr << "make_clippings: writing '" << path << "' failed\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make_clippings: " << e.what()
                  << "\nusage: make_clippings --entries N --books B --seed S [--format older|newer] --out FILE\n";
        return 2;
    }
}
