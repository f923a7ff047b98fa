#pragma once

#include "extract/front_end.h"

#include <string>

namespace quillery::bench {

// Reads a generated file back with every kind kept and no sort, byte per
// character, so a test sees the entries in the order the file holds them.
class ReadBackFrontEnd : public FrontEnd {
  public:
    void SetCaption(const std::u16string&) override {}
    void EnterPhase(RunPhase) override {}
    bool OptionOn(ExtractOption option) override { return option != ExtractOption::sort; }
    void Yield() override {}
    static RunRequest Request(std::u16string path)
    {
        RunRequest run;
        run.path = std::move(path);
        run.encoding = TextEncoding::windows1252;
        return run;
    }
};

} // namespace quillery::bench
