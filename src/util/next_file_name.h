#pragma once

#include <cstdint>
#include <string>

namespace quillery {

// `what` itself when nothing exists there, otherwise the first free path of
// the form "base (n)extension", n = 2, 3, ..., the extension being the last
// "." of the final name onwards.
std::u16string NextFileName(const std::u16string& what);

// The name NextFileName tries for number `n`: `what` itself for n < 2, else
// "base (n)extension".
std::u16string NumberedFileName(const std::u16string& what, std::int64_t n);

} // namespace quillery
