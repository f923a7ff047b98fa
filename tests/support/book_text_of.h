#pragma once

#include "extract/clip_store.h"
#include "output/book_text.h"

#include "support/fake_front_end.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillery::test {

// The book's text from its entries in table order, in the front end's encoding.
inline std::string BookTextOf(const ClipStore& store, std::int32_t book, FakeFrontEnd& frontEnd)
{
    std::vector<std::int32_t> slots;
    for (std::int32_t j = 1; j <= store.entryCount(); ++j) {
        if (store.entry(j).book == book) {
            slots.push_back(j);
        }
    }
    return FormatBookText(store, slots, frontEnd.encoding, frontEnd);
}

} // namespace quillery::test
