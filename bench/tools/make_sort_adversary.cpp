// make_sort_adversary --entries N --format kindle|dkx --order ORDER --seed S --out FILE
// Writes a Kindle clippings file or a .dkx of N entries of one book whose
// locations make the sort phase meet a worst case, or the same locations
// shuffled (random), to time one against the other. ORDER: adversarial
// (every split lopsided), spent-then-random (lopsided until the sort's budget
// is spent, the rest at random) or random.

#include "tools/sort_adversary.h"
#include "tools/tool_args.h"

#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>

int main(int argc, char** argv)
{
    using namespace quillery::bench;
    try {
        const ToolArgs args(argc, argv);
        const auto entries = static_cast<std::int32_t>(args.Number("entries", 1000, 1, 1000000));
        const std::string format = args.Text("format");
        const std::string order = args.Text("order");
        const std::map<std::string, quillery::test::KillerShape> shapes = {
            {"adversarial", quillery::test::KillerShape::lopsided},
            {"spent-then-random", quillery::test::KillerShape::spentThenRandom},
            {"random", quillery::test::KillerShape::lopsided},
        };
        if ((format != "kindle" && format != "dkx") || shapes.count(order) == 0) {
            throw std::invalid_argument("--format is kindle or dkx, --order adversarial, spent-then-random or random");
        }
        const SortInputFormat shape = format == "kindle" ? SortInputFormat::kindle : SortInputFormat::dkx;
        const auto seed = static_cast<std::uint64_t>(args.Number("seed", 1));
        const std::string path = args.Text("out");

        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) {
            std::cerr << "make_sort_adversary: cannot create '" << path << "'\n";
            return 1;
        }
        WriteSortInput(out, SortAdversaryLocations(entries, shape, order == "random", seed, shapes.at(order)), shape);
        out.close();
        if (!out) {
            std::cerr << "make_sort_adversary: writing '" << path << "' failed\n";
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make_sort_adversary: " << e.what()
                  << "\nusage: make_sort_adversary --entries N --format kindle|dkx --order ORDER --seed S --out FILE\n";
        return 2;
    }
}
