#pragma once

#include "extract/front_end.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

namespace quillery {

// The front end of a command-line run: option values fixed by the command
// line, nothing to yield to, and the captions shown as one status line on
// the error stream, rewritten in place.
class CliFrontEnd : public FrontEnd {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Progress captions closer together than this are not drawn.
    static constexpr std::chrono::milliseconds kCaptionInterval{100};

    // `showProgress` is false when the error stream is no terminal or the
    // user asked for quiet; then no caption is written at all.
    CliFrontEnd(ExtractOptions options, std::ostream& status, bool showProgress,
                Clock clock = std::chrono::steady_clock::now);

    // Progress captions closer together than kCaptionInterval are skipped.
    void SetCaption(const std::u16string& caption) override;
    // A phase's caption comes once and is always drawn.
    void EnterPhase(RunPhase phase) override;
    bool OptionOn(ExtractOption option) override { return options_.Get(option); }
    void Yield() override {}

    // Ends the status line, if one is shown, so that what follows on the
    // error stream starts a line of its own.
    void EndStatusLine();

  private:
    void Draw(std::u16string_view caption, std::chrono::steady_clock::time_point now);

    ExtractOptions options_;
    std::ostream& status_;
    bool showProgress_;
    Clock clock_;
    bool lineOpen_ = false;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

} // namespace quillery
