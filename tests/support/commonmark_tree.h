#pragma once

#include <cmark.h>

#include <memory>
#include <string>
#include <string_view>

namespace quillery::test {

struct CmarkNodeFree {
    void operator()(cmark_node* node) const { cmark_node_free(node); }
};
using CmarkDocument = std::unique_ptr<cmark_node, CmarkNodeFree>;

// The document as a CommonMark reader builds it.
CmarkDocument ParseCommonMark(std::string_view markdown);

// The text a block shows, as written: text nodes as they stand, hard line
// breaks as "\n", paragraphs parted by "\n\n". Any other node (emphasis,
// code, link, HTML, a list, a soft break) is a test failure and shows as
// "<type>".
std::string ShownText(cmark_node* block);

} // namespace quillery::test
