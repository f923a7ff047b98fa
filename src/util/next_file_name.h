#pragma once

#include <string>

namespace quillery {

// `what` itself when nothing exists there, otherwise the first free path of
// the form "base (n)extension", n = 2, 3, ..., the extension being the last
// "." of the final name onwards.
std::u16string NextFileName(const std::u16string& what);

} // namespace quillery
