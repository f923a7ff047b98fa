#include "fuzz_support.h"

#include "util/path_text.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include <unistd.h>

namespace quillery::fuzz {

void Fail(const char* file, int line, const char* what)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
    std::abort();
}

namespace {

std::string ScratchFolder()
{
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path().string();
}

} // namespace

std::string ScratchPath(const std::string& name)
{
    return ScratchFolder() + "/quillery-fuzz-" + name + "-" + std::to_string(getpid());
}

ScratchFile::ScratchFile(const char* target, const char* extension)
    : path_(ScratchPath(target) + extension), u16_(FromUtf8(path_))
{
}

ScratchFile::~ScratchFile()
{
    std::remove(path_.c_str());
}

const std::u16string& ScratchFile::Write(const std::uint8_t* data, std::size_t size) const
{
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    FUZZ_CHECK(file != nullptr, "cannot create the scratch file");
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    FUZZ_CHECK(std::fclose(file) == 0 && written, "cannot write the scratch file");
    return u16_;
}

ByteFrontEnd::ByteFrontEnd(std::uint8_t optionByte, std::u16string path)
    : bits_(optionByte & 0x3F), rotate_((optionByte & 0x80) != 0), path_(std::move(path))
{
}

void ByteFrontEnd::SetCaption(const std::u16string& caption)
{
    lastCaption_ = caption;
    ++captionCount_;
}

void ByteFrontEnd::EnterPhase(RunPhase phase)
{
    if (onPhase) {
        onPhase(phase);
    }
}

RunRequest ByteFrontEnd::requestFor(std::u16string input) const
{
    RunRequest run;
    run.path = std::move(input);
    run.encoding = encoding;
    return run;
}

bool ByteFrontEnd::OptionOn(ExtractOption option)
{
    const bool on = ((bits_ >> static_cast<int>(option)) & 1) != 0;
    if (option == ExtractOption::sort) {
        sortAnswer_ = on;
    }
    return on;
}

void ByteFrontEnd::Yield()
{
    if (rotate_) {
        bits_ = static_cast<std::uint8_t>(((bits_ << 1) | (bits_ >> 5)) & 0x3F);
    }
}

bool OnlyCrLfBreaks(const std::u16string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) {
            return false;
        }
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
            return false;
        }
    }
    return true;
}

} // namespace quillery::fuzz
