#include "support/commonmark_tree.h"

#include <gtest/gtest.h>

namespace quillery::test {

CmarkDocument ParseCommonMark(std::string_view markdown)
{
    return CmarkDocument(cmark_parse_document(markdown.data(), markdown.size(), CMARK_OPT_DEFAULT));
}

std::string ShownText(cmark_node* block)
{
    std::string text;
    for (cmark_node* node = cmark_node_first_child(block); node != nullptr; node = cmark_node_next(node)) {
        switch (cmark_node_get_type(node)) {
        case CMARK_NODE_TEXT:
            text += cmark_node_get_literal(node);
            break;
        case CMARK_NODE_LINEBREAK:
            text += '\n';
            break;
        case CMARK_NODE_PARAGRAPH:
            if (cmark_node_previous(node) != nullptr) {
                text += "\n\n";
            }
            text += ShownText(node);
            break;
        default:
            ADD_FAILURE() << "unexpected " << cmark_node_get_type_string(node) << " node";
            text += std::string("<") + cmark_node_get_type_string(node) + ">";
            break;
        }
    }
    return text;
}

} // namespace quillery::test
