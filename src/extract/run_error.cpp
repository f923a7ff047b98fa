#include "extract/run_error.h"

#include "util/path_text.h"
#include "util/text.h"

#include <new>
#include <utility>

namespace quillery {

RunError::RunError(std::string reason) : reason_(std::move(reason))
{
    Reword();
}

RunError::RunError(std::string action, std::u16string path, std::string reason)
    : action_(std::move(action)), path_(std::move(path)), reason_(std::move(reason))
{
    Reword();
}

RunError RunError::OutOfMemory(std::string task, std::u16string path)
{
    RunError error("not enough memory to " + std::move(task), std::move(path), {});
    error.outOfMemory_ = true;
    error.Reword();
    return error;
}

RunError& RunError::At(std::u16string path)
{
    path_ = std::move(path);
    Reword();
    return *this;
}

RunError& RunError::AtLine(std::int64_t line)
{
    line_ = line;
    Reword();
    return *this;
}

RunError& RunError::AtItem(std::int64_t item)
{
    item_ = item;
    Reword();
    return *this;
}

RunError& RunError::KeepingOutputIn(std::u16string folder)
{
    partialOutput_ = std::move(folder);
    Reword();
    return *this;
}

void RunError::Reword()
{
    message_ = WordRunError(*this);
}

namespace {

std::string Quoted(const std::u16string& path)
{
    return "\"" + ToUtf8(path) + "\"";
}

void AppendPart(std::string& text, std::string_view part, std::string_view glue)
{
    if (!text.empty() && !part.empty()) {
        text += glue;
    }
    text += part;
}

} // namespace

std::string WordRunError(const RunError& error)
{
    std::string text = error.action();
    if (!error.path().empty()) {
        AppendPart(text, Quoted(error.path()), " ");
    }
    if (error.outOfMemory()) {
        if (error.line() != 0) {
            text += " (at line " + std::to_string(error.line()) + ")";
        }
    } else {
        if (error.line() != 0) {
            text += ", line " + std::to_string(error.line());
        }
        if (error.item() != 0) {
            text += ", item " + std::to_string(error.item());
        }
        AppendPart(text, error.reason(), ": ");
    }
    if (!error.partialOutput().empty()) {
        text += " (the partial output stays in " + Quoted(error.partialOutput()) + ")";
    }
    return EscapeControls(text);
}

std::string CurrentFailureMessage()
{
    try {
        throw;
    } catch (const RunError& error) {
        return error.what();
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    } catch (const std::exception& error) {
        // File-system errors and the like that no part of the run words.
        return EscapeControls(error.what());
    } catch (...) {
        return "unknown failure";
    }
}

} // namespace quillery
