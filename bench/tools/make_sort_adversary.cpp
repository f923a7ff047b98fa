// make_sort_adversary --entries N --format kindle|dkx --order adversarial|random --seed S --out FILE
// Writes a Kindle clippings file or a .dkx of N entries of one book whose
// locations make the sort phase meet its worst case (adversarial), or the
// same locations shuffled (random), to time one against the other.

#include "tools/sort_adversary.h"
#include "tools/tool_args.h"

#include <fstream>
#include <iostream>
#include <stdexcept>

int main(int argc, char** argv)
{
    using namespace quillery::bench;
    try {
        const ToolArgs args(argc, argv);
        const auto entries = static_cast<std::int32_t>(args.Number("entries", 1000, 1, 1000000));
        const std::string format = args.Text("format");
        const std::string order = args.Text("order");
        if ((format != "kindle" && format != "dkx") || (order != "adversarial" && order != "random")) {
            throw std::invalid_argument("--format is kindle or dkx, --order adversarial or random");
        }
        const SortInputFormat shape = format == "kindle" ? SortInputFormat::kindle : SortInputFormat::dkx;
        const auto seed = static_cast<std::uint64_t>(args.Number("seed", 1));
        const std::string path = args.Text("out");

        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) {
            std::cerr << "make_sort_adversary: cannot create '" << path << "'\n";
            return 1;
        }
        WriteSortInput(out, SortAdversaryLocations(entries, shape, order == "random", seed), shape);
        out.close();
        if (!out) {
            std::cerr << "make_sort_adversary: writing '" << path << "' failed\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make_sort_adversary: " << e.what()
                  << "\nusage: make_sort_adversary --entries N --format kindle|dkx --order adversarial|random"
                     " --seed S --out FILE\n";
        return 2;
    }
}
