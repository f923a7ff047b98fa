#include "extract/meta_details.h"

#include "extract/meta_line.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

struct DetailsCase {
    const char* line; // as the device writes it, UTF-8
    const char* page;
    std::int32_t start;
    std::int32_t end;
    std::int64_t added;
};

void ExpectDetails(const DetailsCase& c)
{
    SCOPED_TRACE(c.line);
    const MetaDetails details = ReadMetaDetails(c.line);
    EXPECT_EQ(details.page, c.page);
    EXPECT_EQ(details.locationStart, c.start);
    EXPECT_EQ(details.locationEnd, c.end);
    EXPECT_EQ(details.added, c.added);
}

// One row per language and clock form, with lines from real devices' files.
TEST(MetaDetailsTest, everyLanguageAndClock_givesPageLocationAndDate)
{
    const DetailsCase cases[] = {
        // en: 12-hour US, 24-hour UK, the older forms
        {"- Your Highlight on page 112 | Location 1300-1301 | Added on Thursday, August 22, 2024 6:10:53 PM", "112",
         1300, 1301, 20240822181053},
        {"- Your Highlight on page ix | location 247-248 | Added on Sunday, 18 February 2018 22:30:47", "ix", 247, 248,
         20180218223047},
        {"- Your Highlight on page xvi-xvi | Added on Monday, April 18, 2016 7:28:27 AM", "xvi", 0, 0, 20160418072827},
        {"- Your Highlight on page 14-14 | Added on Saturday, 23 December 2017 09:46:53", "14", 0, 0, 20171223094653},
        {"- Clip This Article at Location 4460 | Added on Thursday, 1 October 2015 09:37:21", "", 4460, 4460,
         20151001093721},
        {"- Your Bookmark on page 91 | Location 1409 | Added on Saturday, July 11, 2015 12:51:11 AM", "91", 1409, 1409,
         20150711005111},
        {"- Your Note on Location 1898 | Added on Tuesday, February 9, 2016 12:42:52 PM", "", 1898, 1898,
         20160209124252},
        {"- Highlight Loc. 1242-45 | Added on Monday, February 09, 2015, 04:26 AM", "", 1242, 1245, 20150209042600},
        {"- Highlight Loc. 1016-18  | Added on Tuesday, 4 December 12 22:56:48 GMT+00:59", "", 1016, 1018,
         20121204225648},
        {"- Bookmark Loc. 1202  | Added on Monday, 10 December 12 18:44:55 Greenwich Mean Time", "", 1202, 1202,
         20121210184455},
        {"- Note on Page 12 | Loc. 180  | Added on Monday, December 14, 2009, 05:30 PM", "12", 180, 180,
         20091214173000},
        {"- Highlight on Page 5-6 | Added on Monday, December 14, 2009, 05:30 AM", "5", 0, 0, 20091214053000},
        {"- Bookmark Loc. 21  | Added on 星期六, 十月 30, 2010, 05:56 上午", "", 21, 21, 20101030055600},
        {"- Highlight Loc. 21  | Added on 星期六, 十二月 30, 2010, 05:56 下午", "", 21, 21, 20101230175600},
        // de
        {"- Deine Markierung auf Seite 112 | bei Position 1300-1301 | Hinzugefügt am Donnerstag, 22. August 2024 "
         "18:10:53",
         "112", 1300, 1301, 20240822181053},
        {"- Ihre Notiz bei Position 77 | Hinzugefügt am Freitag, 1. März 2024 0:05:09", "", 77, 77, 20240301000509},
        // fr
        {"- Votre surlignement sur la page 200 | emplacement 3054-3056 | Ajouté le mercredi 16 août 2017 02:14:10",
         "200", 3054, 3056, 20170816021410},
        {"- Votre note à lʼemplacement 88 | Ajouté le mardi 5 décembre 2023 23:59:59", "", 88, 88, 20231205235959},
        // es
        {"- La subrayado en la página 197 | posición 2031-2035 | Añadido el sábado, 12 de octubre de 2019 0:37:31",
         "197", 2031, 2035, 20191012003731},
        // it (two blanks after the dash)
        {"-  La tua evidenziazione alla posizione 453-454 | Aggiunto in data lunedì 8 marzo 2021 22:52:57", "", 453,
         454, 20210308225257},
        // pt
        {"- Seu destaque ou posição 2829-2829 | Adicionado: sexta-feira, 29 de novembro de 2019 18:00:13", "", 2829,
         2829, 20191129180013},
        // nl
        {"- Je highlight op pagina 79 | locatie 1293 t/m 1295 | Toegevoegd op dinsdag 30 augustus 2022 19:46:26", "79",
         1293, 1295, 20220830194626},
        // ru (en dashes)
        {"– Ваша заметка на странице 868 | Место 8411 | Добавлено: воскресенье, 3 марта 2024 г. в 18:08:16", "868",
         8411, 8411, 20240303180816},
        {"– Ваш выделенный отрывок в месте 5683–5685 | Добавлено: среда, 28 февраля 2024 г. в 10:07:53", "", 5683, 5685,
         20240228100753},
        // zh: 上午 and 下午 before a 12-hour time
        {"- 您在第 25 页（位置 #243-244）的标注 | 添加于 2023年2月14日星期二 上午5:15:57", "25", 243, 244,
         20230214051557},
        {"- 您在位置 #2544 的笔记 | 添加于 2023年2月9日星期四 下午6:36:38", "", 2544, 2544, 20230209183638},
        {"- 您在第 126-126 页的标注 | 添加于 2022年3月28日星期一 上午12:35:18", "126", 0, 0, 20220328003518},
        {"- 您在位置 #30 的筆記 | 添加於 2022年3月28日星期一 下午12:05:00", "", 30, 30, 20220328120500},
        // ja
        {"- 22ページ|位置No. 336のメモ |作成日: 2023年6月10日土曜日 9:18:40", "22", 336, 336, 20230610091840},
        {"- 112ページ|位置No. 1300のブックマーク |作成日: 2024年8月22日木曜日 18:10:53", "112", 1300, 1300,
         20240822181053},
    };
    for (const auto& c : cases) {
        ExpectDetails(c);
    }
}

TEST(MetaDetailsTest, locationRanges_endTakesTheStartsLeadingDigits)
{
    const DetailsCase cases[] = {
        {"- Highlight Loc. 1234-38 | x", "", 1234, 1238, 0},
        {"- Highlight Loc. 105-7 | x", "", 105, 107, 0},
        {"- Highlight Loc. 1298-03 | x", "", 1298, 1303, 0}, // past a round number
        {"- Highlight Loc. 99-1 | x", "", 99, 101, 0},       // past a round number, one digit written
        {"- Your Highlight Location 181-183 | x", "", 181, 183, 0},
        {"- Your Highlight Location 9-1200 | x", "", 9, 1200, 0},   // an end longer than its start
        {"- Your Highlight Location 300-200 | x", "", 300, 300, 0}, // an end before its start is dropped
        {"- Your Highlight Location 2147483647 | x", "", 2147483647, 2147483647, 0},
        {"- Your Highlight Location 2147483648 | x", "", 0, 0, 0},
        {"- Your Highlight Location 2147483640-9 | x", "", 0, 0, 0}, // its end passes the range
        {"- Your Highlight Location 5-99999999999999999999999 | x", "", 0, 0, 0},
        {"- Your Highlight Location 99999999999999999999999 | x", "", 0, 0, 0},
        {"- Your Highlight on page 3 | x", "3", 0, 0, 0},
        {"- Your Note | x", "", 0, 0, 0},
        {"- Highlight Loc. | x", "", 0, 0, 0},
    };
    for (const auto& c : cases) {
        ExpectDetails(c);
    }
}

std::string_view WithoutMarks(std::string_view line)
{
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    while (line.starts_with(kMark)) {
        line.remove_prefix(kMark.size());
    }
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

bool HasDateWord(std::string_view line)
{
    constexpr std::string_view kDateWords[] = {
        "Added on",   "Hinzugefügt am", "Ajouté le", "Añadido el", "Aggiunto in data", "Adicionado",
        "Toegevoegd", "Добавлено",      "作成日",    "添加于",     "添加於",
    };
    for (const std::string_view word : kDateWords) {
        if (line.find(word) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

struct DateCount {
    int dated = 0;
    int read = 0;
    int undated = 0;
};

// Every dated meta line of the real devices' files gives a date, and its
// location agrees with what the reader sorts by.
TEST(MetaDetailsTest, corpus_everyDatedMetaLineIsRead)
{
    std::vector<std::filesystem::path> files;
    for (const auto& file : std::filesystem::directory_iterator(std::filesystem::path(TEST_DATA_DIR) / "corpus")) {
        if (file.path().extension() == ".txt") {
            files.push_back(file.path());
        }
    }
    std::sort(files.begin(), files.end());
    EXPECT_GE(files.size(), 11U);
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        const std::string bytes = ReadBytes(file);
        DateCount count;
        std::string_view rest = bytes;
        while (!rest.empty()) {
            const auto lineEnd = rest.find('\n');
            const std::string_view line = WithoutMarks(rest.substr(0, lineEnd));
            rest = lineEnd == std::string_view::npos ? std::string_view{} : rest.substr(lineEnd + 1);
            const MetaLine meta = ClassifyMetaLine(line);
            if (meta.form == MetaForm::none) {
                continue;
            }
            const MetaDetails details = ReadMetaDetails(line);
            if (!HasDateWord(line)) {
                ++count.undated;
            } else if (++count.dated; details.added != 0) {
                ++count.read;
            } else {
                ADD_FAILURE() << "no date read from: " << line;
            }
            if (details.locationStart != 0) {
                std::int32_t sorted = 0;
                std::from_chars(meta.location.data(), meta.location.data() + meta.location.size(), sorted);
                EXPECT_EQ(details.locationStart, sorted) << line;
                EXPECT_GE(details.locationEnd, details.locationStart) << line;
            }
        }
        std::cout << name << ": " << count.dated << " dated meta lines, " << count.read << " read; " << count.undated
                  << " without a date\n";
        RecordProperty(name, std::to_string(count.read) + "/" + std::to_string(count.dated) + " dated read, " +
                                 std::to_string(count.undated) + " undated");
        EXPECT_GT(count.dated, 0);
        EXPECT_EQ(count.read, count.dated);
    }
}

} // namespace
} // namespace quillery::test
