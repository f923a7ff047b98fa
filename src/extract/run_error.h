#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace quillery {

// A failure of an extraction run, as data: what failed, the path, the line
// or item, and the reason. WordRunError makes the one line the user reads.
class RunError : public std::exception {
  public:
    // A failure that names no file yet ("too many books: ..."); a caller that
    // knows the file adds it with At().
    explicit RunError(std::string reason);
    // "<action> "<path>": <reason>", as "cannot open "a.txt": Permission denied".
    RunError(std::string action, std::u16string path, std::string reason);
    // A lack of memory while `task` ("read", "sort the entries of"): "not enough memory to <task> "<path>"".
    static RunError OutOfMemory(std::string task, std::u16string path = {});

    // Where the failure is; each returns the error for chaining.
    RunError& At(std::u16string path);
    RunError& AtLine(std::int64_t line);
    RunError& AtItem(std::int64_t item);
    // The output folder that keeps what was written before the failure.
    RunError& KeepingOutputIn(std::u16string folder);

    const std::string& action() const { return action_; }
    const std::u16string& path() const { return path_; }
    std::int64_t line() const { return line_; }
    std::int64_t item() const { return item_; }
    const std::string& reason() const { return reason_; }
    const std::u16string& partialOutput() const { return partialOutput_; }
    bool outOfMemory() const { return outOfMemory_; }

    // The worded message (as WordRunError gives it).
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    void Reword();

    std::string action_;
    std::u16string path_;
    std::int64_t line_ = 0;
    std::int64_t item_ = 0;
    std::string reason_;
    std::u16string partialOutput_;
    bool outOfMemory_ = false;
    std::string message_;
};

// The one line that tells the user of the failure (UTF-8), control characters
// of the path or the file made visible as escapes.
std::string WordRunError(const RunError& error);

// Words the exception being handled: a RunError as above, a lack of memory as
// "not enough memory", anything else by its own message. Call it only inside
// a catch block.
std::string CurrentFailureMessage();

// Thrown by a front end's Yield when the user has given up the run (for
// example by closing the window); the run stops without writing anything.
class RunAbandoned : public std::exception {
  public:
    const char* what() const noexcept override { return "run abandoned"; }
};

} // namespace quillery
