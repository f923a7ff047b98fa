#pragma once

#include "extract/front_end.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillery::fuzz {

// Stops the process with a message when a property of the result does not
// hold; libFuzzer then saves the input as a crash.
#define FUZZ_CHECK(condition, what)                                                                                    \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            ::quillery::fuzz::Fail(__FILE__, __LINE__, what);                                                          \
        }                                                                                                              \
    } while (false)

[[noreturn]] void Fail(const char* file, int line, const char* what);

// A name of this process's own in the scratch folder (/dev/shm when there
// is one): "quillery-fuzz-<name>-<process id>".
std::string ScratchPath(const std::string& name);

// One file per process (in /dev/shm when there is one), overwritten with
// every input, so the readers that take a path see the fuzzer's bytes.
class ScratchFile {
  public:
    ScratchFile(const char* target, const char* extension);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the file's content with `size` bytes and returns its path.
    const std::u16string& Write(const std::uint8_t* data, std::size_t size) const;

  private:
    std::string path_;
    std::u16string u16_;
};

// A front end whose options come from one input byte: bits 0 to 5 are
// highlights, notes, bookmarks, sort, keeplocs and fixANSI; with bit 7 set
// the six bits turn by one place at every yield, so options change mid-run.
class ByteFrontEnd : public FrontEnd {
  public:
    ByteFrontEnd(std::uint8_t optionByte, std::u16string path);

    void SetCaption(const std::u16string& caption) override;
    void EnterPhase(RunPhase phase) override;
    bool OptionOn(ExtractOption option) override;
    void Yield() override;

    // The run on this front end's file, or on `input`, in its encoding.
    RunRequest request() const { return requestFor(path_); }
    RunRequest requestFor(std::u16string input) const;

    int captionCount() const { return captionCount_; }
    const std::u16string& lastCaption() const { return lastCaption_; }
    // The value `sort` had when the run last asked for it (false if never asked).
    bool sortAnswer() const { return sortAnswer_; }

    // One character per byte, so every input byte comes back out as itself.
    TextEncoding encoding = TextEncoding::windows1252;
    // Called as the run enters each phase.
    std::function<void(RunPhase)> onPhase;

  private:
    std::uint8_t bits_;
    bool rotate_;
    std::u16string path_;
    std::u16string lastCaption_;
    int captionCount_ = 0;
    bool sortAnswer_ = false;
};

// True when every CR in `text` is followed by LF and every LF follows a CR.
bool OnlyCrLfBreaks(const std::u16string& text);

} // namespace quillery::fuzz
