#include "extract/meta_line.h"

#include <gtest/gtest.h>

#include <string>

namespace quillery::test {
namespace {

struct MetaCase {
    const char* line; // as the device writes it, UTF-8
    MetaForm form;
    char16_t kind;
    const char* location; // the bytes of the number that stands for the location
};

constexpr MetaForm kOlder = MetaForm::older;
constexpr MetaForm kNewer = MetaForm::newer;

// One row per language and form, with lines from real devices' files.
TEST(MetaLineTest, everyLanguageAndForm_givesKindAndLocation)
{
    const MetaCase cases[] = {
        // older devices
        {"- Highlight Loc. 1234-38 | Added on Monday", kOlder, u'h', "1234"},
        {"- Note on Page 12 | Loc. 180  | Added on Monday", kOlder, u'n', "180"},
        {"- Bookmark Loc. 512 | Added on Monday", kOlder, u'b', "512"},
        {"- Highlight on Page 5 | Added on Monday", kOlder, u'h', "5"},
        {"- Highlight on Page 5-6 | Added on Monday", kOlder, u'h', "5"},
        {"- Highlight Loc. 1,234-36 | x", kOlder, u'h', "1,234"},
        {"- Note", kOlder, u'n', ""},
        // en
        {"- Your Highlight on page 112 | Location 1300-1301 | Added on Thursday, August 22, 2024 6:10:53 PM", kNewer,
         u'h', "1300"},
        {"- Your Highlight on page ix | location 247-248 | Added on Sunday, 18 February 2018 22:30:47", kNewer, u'h',
         "247"},
        {"- Your Highlight on page xvi-xvi | Added on Monday, April 18, 2016 7:28:27 AM", kNewer, u'h', ""},
        {"- Your Highlight on page 14-14 | Added on Saturday, 23 December 2017 09:46:53", kNewer, u'h', "14"},
        {"- Your Highlight Location 181-183 | Added on Monday, January 7, 2013 5:09:10 PM", kNewer, u'h', "181"},
        {"- Your Note on Location 1898 | Added on Tuesday, February 9, 2016 8:42:52 AM", kNewer, u'n', "1898"},
        {"- Your Bookmark on page 91 | Location 1409 | Added on Saturday, July 11, 2015 7:51:11 PM", kNewer, u'b',
         "1409"},
        {"- Clip This Article at Location 4460 | Added on Thursday, 1 October 2015 09:37:21", kNewer, u'h', "4460"},
        {"- Your Clipping at Location 12 | Added on Monday", kNewer, u'h', "12"},
        {"- Your highlight on page 40 | Added on Monday, February 16, 2026 10:15:20 PM", kNewer, u'h', "40"},
        {"- Your Note | x", kNewer, u'n', ""},
        // de
        {"- Deine Markierung auf Seite 112 | bei Position 1300-1301 | Hinzugefügt am Donnerstag, 22. August 2024 "
         "18:10:53",
         kNewer, u'h', "1300"},
        {"- Dein Lesezeichen auf Seite 112 | Position 1300 | Hinzugefügt am Donnerstag, 22. August 2024 18:10:53",
         kNewer, u'b', "1300"},
        {"- Ihre Notiz bei Position 77 | Hinzugefügt am Montag", kNewer, u'n', "77"},
        // fr
        {"- Votre surlignement sur la page 200 | emplacement 3054-3056 | Ajouté le mercredi 16 août 2017 02:14:10",
         kNewer, u'h', "3054"},
        {"- Votre note à lʼemplacement 88 | Ajouté le mercredi", kNewer, u'n', "88"},
        {"- Votre signet sur la page 3 | Ajouté le mercredi", kNewer, u'b', "3"},
        // es
        {"- La subrayado en la página 197 | posición 2031-2035 | Añadido el sábado, 12 de octubre de 2019 0:37:31",
         kNewer, u'h', "2031"},
        {"- La nota en la posición 40 | Añadido el sábado", kNewer, u'n', "40"},
        {"- Tu marcador en la página 9 | Añadido el sábado", kNewer, u'b', "9"},
        // it (two blanks after the dash)
        {"-  La tua evidenziazione alla posizione 453-454 | Aggiunto in data lunedì 8 marzo 2021 22:52:57", kNewer,
         u'h', "453"},
        {"- Il tuo segnalibro a pagina 12 | Aggiunto in data lunedì", kNewer, u'b', "12"},
        // pt
        {"- Seu destaque ou posição 2829-2829 | Adicionado: sexta-feira, 29 de novembro de 2019 18:00:13", kNewer, u'h',
         "2829"},
        {"- Sua nota na página 5 | na posição 61 | Adicionado: sexta-feira", kNewer, u'n', "61"},
        {"- Recortar este artigo na posição 7 | Adicionado: sexta-feira", kNewer, u'h', "7"},
        // nl
        {"- Je highlight op pagina 79 | locatie 1293 t/m 1295 | Toegevoegd op dinsdag 30 augustus 2022 19:46:26",
         kNewer, u'h', "1293"},
        {"- Je markering op locatie 10 | Toegevoegd op dinsdag", kNewer, u'h', "10"},
        {"- Uw bladwijzer op pagina 4 | Toegevoegd op dinsdag", kNewer, u'b', "4"},
        // ru (an en dash and a blank open the line)
        {"– Ваша заметка на странице 868 | Место 8411 | Добавлено: воскресенье, 3 марта 2024 г. в 18:08:16", kNewer,
         u'n', "8411"},
        {"– Ваш выделенный отрывок в месте 5683–5685 | Добавлено: среда, 28 февраля 2024 г. в 10:07:53", kNewer, u'h',
         "5683"},
        {"– Ваша закладка на странице 3 | Добавлено: среда", kNewer, u'b', "3"},
        // zh (the phrase follows the location)
        {"- 您在第 25 页（位置 #243-244）的标注 | 添加于 2023年2月14日星期二 上午5:15:57", kNewer, u'h', "243"},
        {"- 您在位置 #2544 的笔记 | 添加于 2023年2月9日星期四 下午6:36:38", kNewer, u'n', "2544"},
        {"- 您在位置 #1892-1893的标注 | 添加于 2022年6月5日星期日 下午3:36:03", kNewer, u'h', "1892"},
        {"- 您在第 126-126 页的标注 | 添加于 2022年3月28日星期一 上午8:35:18", kNewer, u'h', "126"},
        {"- 您在位置 #12 的书签 | 添加于 2022年3月28日", kNewer, u'b', "12"},
        {"- 您在位置 #30 的筆記 | 添加於 2022年3月28日", kNewer, u'n', "30"},
        // ja
        {"- 22ページ|位置No. 336のメモ |作成日: 2023年6月10日土曜日 9:18:40", kNewer, u'n', "336"},
        {"- 112ページ|位置No. 1300のブックマーク |作成日: 2024年8月22日木曜日 18:10:53", kNewer, u'b', "1300"},
        {"- 5ページのハイライト |作成日: 2024年8月22日木曜日 18:10:53", kNewer, u'h', "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const MetaLine meta = ClassifyMetaLine(c.line);
        EXPECT_EQ(meta.form, c.form);
        EXPECT_EQ(meta.kind, c.kind);
        EXPECT_EQ(meta.location, c.location);
    }
}

TEST(MetaLineTest, otherLines_areUnknownOrNoForm)
{
    const std::pair<const char*, MetaForm> cases[] = {
        {"- Din markering på side 3 | Tilføjet", MetaForm::unknown},
        {"- highlight Loc. 5 | x", MetaForm::unknown},
        // A phrase is a whole word group: "Your Highlights" is not "Your Highlight".
        {"- Your Highlights on page 3 | x", MetaForm::unknown},
        // A phrase after the location counts only where it ends its part of the line.
        {"- 您在位置 #12 的标注很好 | x", MetaForm::unknown},
        {"- Your Highlight", MetaForm::newer},
        {"- a list item without a bar", MetaForm::none},
        {"-Your Highlight | x", MetaForm::none},
        {"Your Highlight | x", MetaForm::none},
        {"==========", MetaForm::none},
        {"", MetaForm::none},
    };
    for (const auto& [line, form] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(ClassifyMetaLine(line).form, form);
    }
}

} // namespace
} // namespace quillery::test
