#pragma once

#include "output/fresh_output.h"

#include <string>
#include <string_view>

namespace quillery {

// The page "all.htm" as it is written: markup goes in as it is, titles and
// texts escaped, and both reach the file in blocks of a few megabytes, so that
// the page of a large book is never held whole (escaping "&" makes it five
// times its size).
class PageFile {
  public:
    explicit PageFile(FreshFolder& folder);

    void Append(std::string_view markup);
    void AppendEscaped(std::string_view bytes);
    // Writes what is held back.
    void Flush();
    // Writes the rest and closes the file.
    void Close();

  private:
    void FlushWhenFull();

    FreshFile file_;
    std::string pending_;
};

} // namespace quillery
