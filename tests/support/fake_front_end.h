#pragma once

#include "extract/front_end.h"

#include <functional>
#include <string>
#include <vector>

namespace quillery::test {

// A scripted front end: fixed options that a test (or a hook run at each
// yield) may change, and a record of every caption and yield.
class FakeFrontEnd : public FrontEnd {
  public:
    explicit FakeFrontEnd(std::u16string path = {}) : path(std::move(path)) {}

    void SetCaption(const std::u16string& caption) override { captions.push_back(caption); }
    void EnterPhase(RunPhase phase) override { captions.emplace_back(PhaseCaption(phase)); }
    bool OptionOn(ExtractOption option) override { return options.Get(option); }
    void Yield() override
    {
        ++yields;
        if (onYield) {
            onYield(*this);
        }
    }
    // The run this front end drives: its path and encoding, writing into `baseFolder`.
    RunRequest request(std::u16string baseFolder = {}) const { return requestFor(path, std::move(baseFolder)); }
    RunRequest requestFor(std::u16string input, std::u16string baseFolder = {}) const
    {
        RunRequest run;
        run.path = std::move(input);
        run.encoding = encoding;
        run.baseFolder = std::move(baseFolder);
        return run;
    }

    std::u16string path;
    ExtractOptions options;
    // One character per byte, so that a test can name the bytes it expects.
    TextEncoding encoding = TextEncoding::windows1252;
    std::vector<std::u16string> captions;
    int yields = 0;
    std::function<void(FakeFrontEnd&)> onYield;
};

} // namespace quillery::test
