#include "cli/cli_run.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// The code points of `bytes` as the system's own UTF-8 decoder reads them,
// or nothing when they are not valid UTF-8.
std::optional<std::u32string> DecodedUtf8(const std::string& bytes)
{
    if (bytes.empty()) {
        return std::u32string();
    }
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(bytes.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), size);
    if (length == 0) {
        return std::nullopt;
    }
    std::u32string out;
    for (int i = 0; i < length; ++i) {
        char32_t c = wide[static_cast<std::size_t>(i)];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[static_cast<std::size_t>(++i)] - 0xDC00);
        }
        out.push_back(c);
    }
    return out;
}
#else
// The code points of `bytes` as the C library's own UTF-8 decoder reads them,
// or nothing when they are not valid UTF-8.
std::optional<std::u32string> DecodedUtf8(const std::string& bytes)
{
    const iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    std::u32string out(bytes.size(), U'\0');
    std::string in = bytes;
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size() * sizeof(char32_t);
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft / sizeof(char32_t));
    return out;
}
#endif

// A file's name as UTF-8, which Windows keeps as UTF-16.
std::string Utf8Name(const fs::path& path)
{
    const std::u8string name = path.filename().u8string();
    return {name.begin(), name.end()};
}

// Every LF is preceded by a CR and every CR followed by an LF.
bool EveryLineEndIsCrLf(const std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool bareLf = bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
        const bool loneCr = bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
        if (bareLf || loneCr) {
            return false;
        }
    }
    return true;
}

bool HoldsIdeograph(const std::u32string& text)
{
    for (const char32_t c : text) {
        if (c >= 0x4E00 && c <= 0x9FFF) {
            return true;
        }
    }
    return false;
}

std::map<std::string, std::string> OutputOf(const std::vector<std::string>& options, const fs::path& input)
{
    TempDir out;
    std::vector<std::string> args = {"-q", "-o", out.path().string()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(input.string());
    const CliResult result = RunCliInProcess(args);
    EXPECT_EQ(result.code, 0) << result.err;
    std::map<std::string, std::string> files;
    for (const auto& item : fs::directory_iterator(out.path() / "My Clippings")) {
        files[Utf8Name(item.path())] = ReadBytes(item.path());
    }
    return files;
}

std::vector<fs::path> Inputs()
{
    std::vector<fs::path> inputs = {SAMPLE_DIR "/My Clippings.txt", SAMPLE_DIR "/Sample.dkx",
                                    PROJECT_DIR "/tests/data/dkx/multiline_content.dkx",
                                    PROJECT_DIR "/tests/data/dkx/windows1252_bytes.dkx"};
    for (const auto& item : fs::directory_iterator(PROJECT_DIR "/tests/data/corpus")) {
        if (item.path().extension() == ".txt") {
            inputs.push_back(item.path());
        }
    }
    return inputs;
}

TEST(Utf8Output, everyFileIsValidUtf8WithCrLf_andChineseTitlesKeepTheirLetters)
{
    const std::vector<std::vector<std::string>> optionSets = {{}, {"--bookmarks", "--keep-locations", "--no-fix-ansi"}};
    for (const fs::path& input : Inputs()) {
        for (const auto& options : optionSets) {
            SCOPED_TRACE(input.filename().string() + (options.empty() ? "" : " " + options[0] + " ..."));
            const auto files = OutputOf(options, input);
            ASSERT_EQ(files.count("all.htm"), 1u);
            EXPECT_TRUE(files.at("all.htm").starts_with("<!DOCTYPE html>\r\n"));
            EXPECT_NE(files.at("all.htm").find("<meta charset=\"utf-8\">"), std::string::npos);
            bool ideographInNames = false;
            for (const auto& [name, bytes] : files) {
                SCOPED_TRACE(name);
                const auto decodedName = DecodedUtf8(name);
                ASSERT_TRUE(decodedName.has_value());
                ideographInNames = ideographInNames || HoldsIdeograph(*decodedName);
                EXPECT_TRUE(DecodedUtf8(bytes).has_value()) << "not valid UTF-8";
                EXPECT_TRUE(EveryLineEndIsCrLf(bytes)) << "a line end that is not CR LF";
            }
            if (input.filename().string().starts_with("new-zh")) {
                EXPECT_TRUE(ideographInNames);
            }
        }
    }
}

TEST(Utf8Output, theSampleReadOnceIsWrittenAsItCameIn_whateverFixAnsiSays)
{
    // The sample is valid UTF-8 with no text read twice, so the UTF-8 page,
    // repaired, holds the very bytes of the Windows-1252 page left unrepaired,
    // with the "…" written in UTF-8.
    const fs::path sample = SAMPLE_DIR "/My Clippings.txt";
    std::string ansiPage = OutputOf({"--encoding", "windows-1252", "--no-fix-ansi"}, sample).at("all.htm");
    for (std::size_t at = ansiPage.find('\x85'); at != std::string::npos; at = ansiPage.find('\x85', at)) {
        ansiPage.replace(at, 1, "\xE2\x80\xA6");
    }
    const std::string ansiHead = "<HTML><BODY>\r\n";
    ASSERT_TRUE(ansiPage.starts_with(ansiHead));
    EXPECT_EQ(OutputOf({}, sample).at("all.htm"),
              "<!DOCTYPE html>\r\n<HTML><HEAD><meta charset=\"utf-8\"></HEAD><BODY>\r\n" +
                  ansiPage.substr(ansiHead.size()));
}

} // namespace
} // namespace quillery::test
