#include "output/json_writer.h"

#include "extract/added_date.h"

// Texts are escaped sixteen bytes at a time where they need no escape.
#if defined(__SSE2__) && !defined(RAPIDJSON_SSE2)
#define RAPIDJSON_SSE2
#endif
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

namespace quillery {

namespace {

// The buffer goes to the file once it holds about this much.
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

} // namespace

struct JsonWriter::Stream {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> json{buffer};
    std::string iso; // an entry's date, in a buffer kept from entry to entry

    void Text(std::string_view text) { json.String(text.data(), static_cast<rapidjson::SizeType>(text.size())); }
    void Key(std::string_view key) { json.Key(key.data(), static_cast<rapidjson::SizeType>(key.size())); }
    void Count(std::string_view key, std::int64_t value)
    {
        Key(key);
        json.Int64(value);
    }
    void TextOrNull(bool present, std::string_view text)
    {
        if (present) {
            Text(text);
        } else {
            json.Null();
        }
    }

    void Entry(const ExportEntry& entry)
    {
        json.StartObject();
        Key("id");
        Text(entry.id);
        Key("kind");
        Text(entry.kind);
        Key("text");
        Text(entry.text);
        Key("note");
        TextOrNull(entry.hasNote, entry.note);
        Key("page");
        TextOrNull(!entry.page.empty(), entry.page);
        Key("location");
        if (entry.hasLocation) {
            json.StartObject();
            Count("start", entry.locationStart);
            Count("end", entry.locationEnd);
            json.EndObject();
        } else {
            json.Null();
        }
        Key("added");
        iso.clear();
        AppendAddedIso(iso, entry.added);
        TextOrNull(entry.added != 0, iso);
        Count("line", entry.line);
        json.EndObject();
    }
};

JsonWriter::JsonWriter(FreshFolder& folder) : file_(folder, u"clippings.json"), stream_(std::make_unique<Stream>())
{
    stream_->json.SetIndent(' ', 2);
}

JsonWriter::~JsonWriter() = default;

void JsonWriter::Begin(const ExportSummary& summary)
{
    Stream& s = *stream_;
    s.json.StartObject();
    s.Key("source");
    s.json.StartObject();
    s.Key("path");
    s.Text(summary.sourcePath);
    s.Key("kind");
    s.Text(summary.sourceKind);
    s.json.EndObject();
    s.Key("summary");
    s.json.StartObject();
    s.Count("books", summary.books);
    s.Count("highlights", summary.highlights);
    s.Count("notes", summary.notes);
    s.Count("bookmarks", summary.bookmarks);
    s.Count("merged", summary.merged);
    s.Count("attached_notes", summary.attachedNotes);
    s.Count("dropped_placeholders", summary.droppedPlaceholders);
    s.Count("skipped_unrecognised", summary.skippedUnrecognised);
    s.json.EndObject();
    s.Key("books");
    s.json.StartArray();
}

void JsonWriter::Book(const ExportBook& book)
{
    Stream& s = *stream_;
    s.json.StartObject();
    s.Key("title");
    s.Text(book.title);
    s.Key("authors");
    s.json.StartArray();
    for (const std::string_view author : book.authors) {
        s.Text(author);
    }
    s.json.EndArray();
    s.Key("title_line");
    s.Text(book.titleLine);
    s.Key("entries");
    s.json.StartArray();
    for (const ExportEntry& entry : book.entries) {
        s.Entry(entry);
        if (s.buffer.GetSize() >= kFlushBytes) {
            Flush();
        }
    }
    s.json.EndArray();
    s.json.EndObject();
}

void JsonWriter::End()
{
    stream_->json.EndArray();
    stream_->json.EndObject();
    stream_->buffer.Put('\n');
    Flush();
    file_.Close();
}

void JsonWriter::Flush()
{
    file_.Write(std::string_view(stream_->buffer.GetString(), stream_->buffer.GetSize()));
    stream_->buffer.Clear();
}

} // namespace quillery
