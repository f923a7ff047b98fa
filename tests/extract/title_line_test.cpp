#include "extract/title_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillery::test {
namespace {

struct TitleCase {
    const char* line;
    const char* title;
    std::vector<std::string> authors;
};

void ExpectSplit(const TitleCase& c)
{
    SCOPED_TRACE(c.line);
    const TitleParts parts = SplitTitleLine(c.line);
    EXPECT_EQ(parts.title, c.title);
    EXPECT_EQ(std::vector<std::string>(parts.authors.begin(), parts.authors.end()), c.authors);
}

TEST(TitleLineTest, lastGroupEndingTheLine_holdsTheAuthors)
{
    const TitleCase cases[] = {
        {"Effective Notetaking (Study Skills Book 1) (McPherson, Fiona)",
         "Effective Notetaking (Study Skills Book 1)",
         {"McPherson, Fiona"}},
        {"T (A (B))", "T", {"A (B)"}},
        {"T (A; B ;;  C )", "T", {"A", "B", "C"}},
        {"T (A)   ", "T", {"A"}},
        {"T (A)\t\r", "T", {"A"}},
        {"  T  (A)", "T", {"A"}},
        {"T(A)", "T", {"A"}},
        {"T ()", "T", {}},
        {"T ( ; )", "T", {}},
    };
    for (const auto& c : cases) {
        ExpectSplit(c);
    }
}

// No author group, or nothing before it: the whole line is the title.
TEST(TitleLineTest, noAuthorGroup_keepsTheWholeLineAsTitle)
{
    const TitleCase cases[] = {
        {"A Title", "A Title", {}},
        {"  A Title  ", "A Title", {}},
        {"T (A) and more", "T (A) and more", {}},
        {"(X)", "(X)", {}},
        {"  (X; Y)  ", "(X; Y)", {}},
        {"T A)", "T A)", {}},
        {"T (A))", "T (A))", {}},
        {")", ")", {}},
        {"", "", {}},
        {"   ", "", {}},
    };
    for (const auto& c : cases) {
        ExpectSplit(c);
    }
}

// Title lines of the real devices' files, checked by hand.
TEST(TitleLineTest, corpusTitles_splitAsTheyRead)
{
    const TitleCase cases[] = {
        {"Discipline & Punish: The Birth of the Prison (Vintage) (Foucault, Michel)",
         "Discipline & Punish: The Birth of the Prison (Vintage)",
         {"Foucault, Michel"}},
        {"The Upanishads: Breath of the Eternal (translated by Swami Prabhavananda;and Frederick Manchester)",
         "The Upanishads: Breath of the Eternal",
         {"translated by Swami Prabhavananda", "and Frederick Manchester"}},
        {"Making_Sense_of_Stream_Processing_Confluent_1.pdf  ",
         "Making_Sense_of_Stream_Processing_Confluent_1.pdf",
         {}},
        {"读客经典文库：爱伦·坡短篇小说集（他就是推理、科幻、惊悚小说的开创者！） (埃德加·爱伦·坡)",
         "读客经典文库：爱伦·坡短篇小说集（他就是推理、科幻、惊悚小说的开创者！）",
         {"埃德加·爱伦·坡"}},
        {"Instapaper: Long Reads (Instapaper: Long Reads)", "Instapaper: Long Reads", {"Instapaper: Long Reads"}},
        {"Freakonomics Rev Ed (Steven D., Levitt)", "Freakonomics Rev Ed", {"Steven D., Levitt"}},
        {"Lean Software Development: An Agile Toolkit (Mary Poppendieck and Tom Poppendieck)",
         "Lean Software Development: An Agile Toolkit",
         {"Mary Poppendieck and Tom Poppendieck"}},
        {"book title", "book title", {}},
    };
    for (const auto& c : cases) {
        ExpectSplit(c);
    }
}

} // namespace
} // namespace quillery::test
