#include "json_export_check.h"

#include "fuzz_support.h"

#include "extract/clip_store.h"
#include "output/export_book.h"
#include "output/save_export.h"
#include "util/path_text.h"

#include <rapidjson/document.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace quillery::fuzz {

namespace {

constexpr std::array<std::string_view, 3> kKindWords = {"highlight", "note", "bookmark"};
constexpr std::array<char, 3> kKindCodes = {'h', 'n', 'b'};

// Per kind (highlight, note, bookmark): the entries read, or only those of
// stored books; entries under empty title lines of a book 1 never stored
// are read but belong to no book.
std::array<std::int64_t, 3> StoredKinds(const ClipStore& store, bool ofStoredBooks)
{
    std::array<std::int64_t, 3> counts{};
    for (std::int32_t slot = 1; slot <= store.entryCount(); ++slot) {
        const ClipEntry& entry = store.entry(slot);
        const bool counted = !ofStoredBooks || entry.book <= store.bookCount();
        for (std::size_t k = 0; k < kKindCodes.size(); ++k) {
            counts[k] += counted && entry.kind == kKindCodes[k] ? 1 : 0;
        }
    }
    return counts;
}

// This process's folder for the export's output folders, removed at exit.
class ExportFolders {
  public:
    explicit ExportFolders(const std::string& name) : path_(ScratchPath(name))
    {
        std::filesystem::create_directories(path_);
    }
    ~ExportFolders()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ExportFolders(const ExportFolders&) = delete;
    ExportFolders& operator=(const ExportFolders&) = delete;

    [[nodiscard]] const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::string ReadWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good(), "the JSON export wrote no clippings.json");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsEntryId(const rapidjson::Value& id)
{
    if (!id.IsString() || id.GetStringLength() != 16) {
        return false;
    }
    const std::string_view digits(id.GetString(), id.GetStringLength());
    return digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Per kind word, the entries the document's books hold.
std::array<std::int64_t, 3> WrittenKinds(const rapidjson::Value& books)
{
    std::array<std::int64_t, 3> counts{};
    for (const rapidjson::Value& book : books.GetArray()) {
        FUZZ_CHECK(book.HasMember("entries") && book["entries"].IsArray(), "a JSON book without entries");
        for (const rapidjson::Value& entry : book["entries"].GetArray()) {
            FUZZ_CHECK(IsEntryId(entry["id"]), "a JSON entry id is not 16 hex digits");
            const std::string_view kind(entry["kind"].GetString(), entry["kind"].GetStringLength());
            std::size_t k = 0;
            while (k < kKindWords.size() && kKindWords[k] != kind) {
                ++k;
            }
            FUZZ_CHECK(k < kKindWords.size(), "a JSON entry of an unknown kind");
            ++counts[k];
        }
    }
    return counts;
}

std::int64_t Count(const rapidjson::Value& summary, const char* name)
{
    FUZZ_CHECK(summary.HasMember(name) && summary[name].IsInt64(), "a JSON summary count is missing");
    return summary[name].GetInt64();
}

} // namespace

void CheckJsonExport(const ClipStore& store, RunRequest request, FrontEnd& frontEnd, bool dkx)
{
    static const ExportFolders base("json");
    request.format = OutputFormat::json;
    request.baseFolder = FromUtf8(base.path());
    const ExportSummary summary = SummariseRun(store, nullptr, ToUtf8(request.path), dkx, 0);
    const std::filesystem::path folder(ToUtf8(SaveExport(store, nullptr, summary, request, frontEnd)));
    const std::string json = ReadWhole(folder / "clippings.json");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);

    rapidjson::Document document;
    document.Parse<rapidjson::kParseValidateEncodingFlag>(json.data(), json.size());
    FUZZ_CHECK(!document.HasParseError() && document.IsObject(), "the JSON export does not parse as UTF-8 JSON");
    FUZZ_CHECK(document.HasMember("books") && document["books"].IsArray(), "the JSON export has no books");
    const rapidjson::Value& books = document["books"];
    FUZZ_CHECK(books.Size() == static_cast<rapidjson::SizeType>(store.bookCount()),
               "JSON books differ from the store's");

    FUZZ_CHECK(WrittenKinds(books) == StoredKinds(store, true), "JSON entries differ from the stored books' entries");
    const rapidjson::Value& counts = document["summary"];
    FUZZ_CHECK(Count(counts, "books") == store.bookCount(), "the JSON summary miscounts the books");
    const std::array<std::int64_t, 3> read = StoredKinds(store, false);
    for (std::size_t k = 0; k < kKindWords.size(); ++k) {
        const std::string name = std::string(kKindWords[k]) + "s";
        FUZZ_CHECK(Count(counts, name.c_str()) == read[k], "the JSON summary miscounts the entries read");
    }
}

} // namespace quillery::fuzz
