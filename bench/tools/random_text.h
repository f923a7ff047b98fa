#pragma once

// Seeded random pieces shared by the input generators. std::mt19937_64 gives
// the same numbers everywhere, but the std distributions differ between
// standard libraries, so the ranges are drawn here by hand: a given seed makes
// the same file on every platform.

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace quillery::bench {

class RandomText {
  public:
    explicit RandomText(std::uint64_t seed) : rng_(seed) {}

    // Uniform in 0..n-1 (n > 0), by rejection so no value is favoured.
    std::uint64_t Below(std::uint64_t n)
    {
        const std::uint64_t threshold = (0 - n) % n; // 2^64 mod n
        std::uint64_t x = rng_();
        while (x < threshold) {
            x = rng_();
        }
        return x % n;
    }

    // Uniform in lo..hi inclusive (lo <= hi).
    std::int64_t Between(std::int64_t lo, std::int64_t hi)
    {
        return lo + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(hi - lo) + 1));
    }

    // True with the given chance in percent.
    bool Percent(int percent) { return Below(100) < static_cast<std::uint64_t>(percent); }

    template <typename T, std::size_t N> const T& Pick(const std::array<T, N>& items) { return items[Below(N)]; }

    // Random words until the text holds at least `chars` characters (UTF-8
    // code points), at times in typographic quotes or with an em dash, ended
    // by a full stop.
    std::string Sentence(std::int64_t chars)
    {
        const bool quoted = Percent(10);
        std::string text = quoted ? "\xE2\x80\x9C" : "";
        std::int64_t count = quoted ? 1 : 0;
        bool first = true;
        while (count < chars) {
            if (!first) {
                const bool dash = Percent(3);
                text += dash ? " \xE2\x80\x94 " : " ";
                count += dash ? 3 : 1;
            }
            const std::string_view word = Pick(kWords);
            text += word;
            count += CodePoints(word);
            first = false;
        }
        text += quoted ? ".\xE2\x80\x9D" : ".";
        return text;
    }

    // A book title in the device's form, "Title words (Author)", about 40
    // characters on average.
    std::string Title()
    {
        std::string title;
        const std::int64_t words = Between(2, 5);
        for (std::int64_t i = 0; i < words; ++i) {
            title += i == 0 ? "" : " ";
            title += Pick(kTitleWords);
        }
        title += " (";
        title += Pick(kFirstNames);
        title += " ";
        title += Pick(kLastNames);
        title += ")";
        return title;
    }

    static std::int64_t CodePoints(std::string_view utf8)
    {
        std::int64_t n = 0;
        for (const char c : utf8) {
            n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        }
        return n;
    }

  private:
    // Plain words, with a few that carry accents (é è à ì ò ù) or a
    // typographic apostrophe, so the "fix ANSI" repair has work to do.
    static constexpr std::array<std::string_view, 64> kWords = {"the",
                                                                "of",
                                                                "and",
                                                                "to",
                                                                "a",
                                                                "in",
                                                                "that",
                                                                "it",
                                                                "was",
                                                                "he",
                                                                "for",
                                                                "on",
                                                                "are",
                                                                "as",
                                                                "with",
                                                                "his",
                                                                "they",
                                                                "at",
                                                                "be",
                                                                "this",
                                                                "from",
                                                                "have",
                                                                "or",
                                                                "by",
                                                                "one",
                                                                "had",
                                                                "not",
                                                                "but",
                                                                "what",
                                                                "all",
                                                                "were",
                                                                "when",
                                                                "we",
                                                                "there",
                                                                "can",
                                                                "an",
                                                                "your",
                                                                "which",
                                                                "their",
                                                                "said",
                                                                "each",
                                                                "she",
                                                                "do",
                                                                "how",
                                                                "time",
                                                                "people",
                                                                "river",
                                                                "morning",
                                                                "silence",
                                                                "memory",
                                                                "window",
                                                                "garden",
                                                                "letter",
                                                                "journey",
                                                                "caf\xC3\xA9",
                                                                "d\xC3\xA9j\xC3\xA0",
                                                                "tr\xC3\xA8s",
                                                                "citt\xC3\xA0",
                                                                "perch\xC3\xA9",
                                                                "pi\xC3\xB9",
                                                                "cos\xC3\xAC",
                                                                "per\xC3\xB2",
                                                                "don\xE2\x80\x99t",
                                                                "it\xE2\x80\x99s"};

    static constexpr std::array<std::string_view, 32> kTitleWords = {
        "The",         "Long",         "Winter",       "House",          "Of",      "Silent", "River",   "Garden",
        "Stories",     "Letters",      "Night",        "Light",          "Between", "Worlds", "Memory",  "Ocean",
        "Empire",      "Small",        "Things",       "Last",           "City",    "Stone",  "Glass",   "Northern",
        "Caf\xC3\xA9", "Citt\xC3\xA0", "Vent\xC3\xB9", "Mist\xC3\xA8re", "Journey", "Island", "Orchard", "Atlas"};

    static constexpr std::array<std::string_view, 16> kFirstNames = {
        "Anna",  "James", "Kathryn",      "Marco", "Ines",  "Jos\xC3\xA9", "Niccol\xC3\xB2", "Helen",
        "Peter", "Laura", "Tom\xC3\xA0s", "Sofia", "David", "Ren\xC3\xA9", "Mary",           "Ugo"};

    static constexpr std::array<std::string_view, 16> kLastNames = {
        "Stockett", "Morrison", "Calvino", "Eco",     "Atwood", "Saramago", "Ferrante", "Murakami",
        "Woolf",    "Tolstoy",  "Austen",  "Dickens", "Borges", "Orwell",   "Llosa",    "Pirandello"};

    std::mt19937_64 rng_;
};

} // namespace quillery::bench
