#pragma once

// A Kindle clippings file made up from a seed: UTF-8 with a byte-order mark,
// CR LF line ends, entries of a title line, a meta line, a blank line, the
// text line (empty for a bookmark) and "==========". The meta line comes in
// the older devices' form ('- Highlight Loc. 1234-38 | Added on Monday, March
// 3, 2025, 08:15 PM') or the newer ones' ('- Your Highlight on page 78 |
// Location 1234-1238 | Added on Monday, March 3, 2025 8:15:07 PM'); both forms
// draw the same random numbers, so one seed makes the same entries in either.
// Used by make_clippings and by the reader's micro-benchmark.

#include "tools/random_text.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <unordered_set>
#include <vector>

namespace quillery::bench {

// The device writes a range's end as its differing last digits, at least
// two: 1234-38, 5444-45, 1299-301.
inline std::string RangeEnd(std::int64_t start, std::int64_t end)
{
    const std::string a = std::to_string(start);
    std::string b = std::to_string(end);
    if (a.size() != b.size()) {
        return b;
    }
    std::size_t same = 0;
    while (same < a.size() && a[same] == b[same]) {
        ++same;
    }
    const std::size_t keep = std::max<std::size_t>(b.size() - same, std::min<std::size_t>(2, b.size()));
    return b.substr(b.size() - keep);
}

enum class MetaForm { older, newer };

struct ClippingsShape {
    std::int64_t entries = 0;
    std::int32_t books = 1;
    std::uint64_t seed = 1;
    MetaForm form = MetaForm::older;
};

class ClippingsGenerator {
  public:
    explicit ClippingsGenerator(const ClippingsShape& shape) : shape_(shape), random_(shape.seed) { MakeBooks(); }

    // Writes the whole file; the stream reports any write failure.
    void Write(std::ostream& out)
    {
        std::string buffer = "\xEF\xBB\xBF";
        buffer.reserve(kFlushBytes + 4096);
        std::int32_t book = 0;
        for (std::int64_t i = 0; i < shape_.entries; ++i) {
            book = NextBook(book);
            AppendEntry(buffer, book);
            if (buffer.size() >= kFlushBytes) {
                out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                buffer.clear();
            }
        }
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    }

  private:
    static constexpr std::size_t kFlushBytes = 1 << 20;

    struct Book {
        std::string title;
        std::int64_t length = 0;       // the highest location
        std::int64_t lastLocation = 0; // for ties
    };

    void MakeBooks()
    {
        std::unordered_set<std::string> seen;
        while (books_.size() < static_cast<std::size_t>(shape_.books)) {
            Book book{random_.Title(), random_.Between(500, 15000), 0};
            // A repeated title would silently merge two books.
            if (seen.insert(book.title).second) {
                books_.push_back(std::move(book));
            }
        }
        // Sessions visit every book once in this order before choosing freely.
        for (std::int32_t i = 0; i < shape_.books; ++i) {
            order_.push_back(i);
        }
        for (std::size_t i = order_.size(); i > 1; --i) {
            std::swap(order_[i - 1], order_[random_.Below(i)]);
        }
    }

    // Entries come in reading sessions: mostly the same book as the one before.
    std::int32_t NextBook(std::int32_t current)
    {
        if (sessions_ > 0 && random_.Percent(70)) {
            return current;
        }
        const std::size_t session = sessions_++;
        if (session < order_.size()) {
            return order_[session];
        }
        return static_cast<std::int32_t>(random_.Below(books_.size()));
    }

    void AppendEntry(std::string& out, std::int32_t bookIndex)
    {
        Book& book = books_[static_cast<std::size_t>(bookIndex)];
        const std::uint64_t roll = random_.Below(100);
        const char* kind = roll < 80 ? "Highlight" : roll < 95 ? "Note" : "Bookmark";
        std::int64_t location = random_.Between(1, book.length);
        if (book.lastLocation > 0 && random_.Percent(15)) {
            location = book.lastLocation;
        }
        book.lastLocation = location;

        std::int64_t end = 0;
        if (roll < 80 && random_.Percent(85)) {
            end = location + random_.Between(1, 25);
        }
        minutes_ += random_.Between(0, 20);

        out += book.title;
        out += "\r\n- ";
        if (shape_.form == MetaForm::older) {
            AppendOlderMeta(out, kind, location, end);
        } else {
            AppendNewerMeta(out, kind, location, end);
        }
        out += "\r\n\r\n";
        if (roll < 95) {
            out += random_.Sentence(TextLength());
        }
        out += "\r\n==========\r\n";
    }

    // 'Highlight Loc. 1234-38 | Added on Monday, March 3, 2025, 08:15 PM'
    void AppendOlderMeta(std::string& out, const char* kind, std::int64_t location, std::int64_t end) const
    {
        out += kind;
        out += " Loc. ";
        out += std::to_string(location);
        if (end > 0) {
            out += '-';
            out += RangeEnd(location, end);
        }
        out += " | Added on ";
        const Clock clock = Now();
        char text[96];
        std::snprintf(text, sizeof text, "%s, %s %u, %d, %02d:%02d %s", clock.day, clock.month, clock.dayOfMonth,
                      clock.year, clock.hour12, clock.minute, clock.half);
        out += text;
    }

    // 'Your Highlight on page 78 | Location 1234-1238 | Added on Monday, March
    // 3, 2025 8:15:07 PM'. Pages and seconds come from the location and the
    // clock, not from draws, so both forms keep the same random sequence.
    void AppendNewerMeta(std::string& out, const char* kind, std::int64_t location, std::int64_t end) const
    {
        out += "Your ";
        out += kind;
        out += " on page ";
        out += std::to_string(location / 16 + 1);
        out += " | Location ";
        out += std::to_string(location);
        if (end > 0) {
            out += '-';
            out += std::to_string(end);
        }
        out += " | Added on ";
        const Clock clock = Now();
        char text[96];
        std::snprintf(text, sizeof text, "%s, %s %u, %d %d:%02d:%02d %s", clock.day, clock.month, clock.dayOfMonth,
                      clock.year, clock.hour12, clock.minute, static_cast<int>((minutes_ * 37 + 11) % 60), clock.half);
        out += text;
    }

    // Texts of about 150 characters on average, a few up to 1000.
    std::int64_t TextLength() { return random_.Percent(3) ? random_.Between(400, 1000) : random_.Between(10, 210); }

    struct Clock {
        const char* day;
        const char* month;
        unsigned dayOfMonth;
        int year;
        int hour12;
        int minute;
        const char* half; // "AM" or "PM"
    };

    // The clock moves forward by up to twenty minutes per entry from the
    // start of 2000.
    Clock Now() const
    {
        static constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                                "May",       "June",     "July",     "August",
                                                                "September", "October",  "November", "December"};
        static constexpr std::array<const char*, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                             "Thursday", "Friday", "Saturday"};
        using namespace std::chrono;
        const sys_days start = year{2000} / January / 1;
        const sys_days day = start + days{minutes_ / (24 * 60)};
        const year_month_day date{day};
        const std::int64_t minuteOfDay = minutes_ % (24 * 60);
        const std::int64_t hour = minuteOfDay / 60;
        return {kDays[weekday{day}.c_encoding()],
                kMonths[static_cast<unsigned>(date.month()) - 1],
                static_cast<unsigned>(date.day()),
                static_cast<int>(date.year()),
                static_cast<int>(hour % 12 == 0 ? 12 : hour % 12),
                static_cast<int>(minuteOfDay % 60),
                hour < 12 ? "AM" : "PM"};
    }

    ClippingsShape shape_;
    RandomText random_;
    std::vector<Book> books_;
    std::vector<std::int32_t> order_;
    std::size_t sessions_ = 0;
    std::int64_t minutes_ = 0;
};

} // namespace quillery::bench
