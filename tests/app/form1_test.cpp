#include "app/command_line.h"
#include "app/form1.h"
#include "app/form1_layout.h"
#include "window_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace quillery::test {

class Form1Test : public QObject {
    Q_OBJECT

  private slots:
    void init() { record_ = {}; }

    // The window as it opens
    void controlsHaveTheirCaptionsAndInitialStates();
    void layoutIsTheTwipsTableWhenTheCaptionsFit();
    void layoutMakesRoomForWiderCaptions();
    void noCaptionIsClippedOrCrowded();
    void twipsBecomePixelsAtTheScreenResolution();
    void windowIsFixedSizeWithCaptionIconAndFonts();
    void focusStartsInPathAndTabsAsTheLayoutReads();

    // Start-up from the command line
    void formLoadTakesThePathFromTheArgumentText_data();
    void formLoadTakesThePathFromTheArgumentText();
    void argumentTextJoinsTheArgumentsWithBlanks();

    // Path box and file dialog
    void goFollowsThePathKeystrokeByKeystroke();
    void browseTakesOnlyAnExistingFile_data();
    void browseTakesOnlyAnExistingFile();

  private:
    RunRecord record_;
    QTemporaryDir base_;
};

void Form1Test::controlsHaveTheirCaptionsAndInitialStates()
{
    struct Expected {
        const char* name;
        const char* className;
        const char* caption;
        bool enabled;
        bool checked;
    };
    const Expected table[] = {
        {"path", "QLineEdit", "", true, false},
        {"browse", "QPushButton", "...", true, false},
        {"Label1", "QLabel", "Extract", true, false},
        {"highlights", "QCheckBox", "highlights", true, true},
        {"notes", "QCheckBox", "notes", true, true},
        {"bookmarks", "QCheckBox", "bookmarks", true, false},
        {"keeplocs", "QCheckBox", "keep locations", true, false},
        {"sort", "QCheckBox", "sort", true, true},
        {"go", "QPushButton", "GO!", false, false},
        {"fixANSI", "QCheckBox", "fix ANSI", true, true},
    };
    Form1 form(RecordingHooks(record_, base_.path()));
    for (const Expected& expected : table) {
        auto* control = ControlNamed<QWidget>(form, expected.name);
        QVERIFY2(control != nullptr, expected.name);
        QCOMPARE(control->metaObject()->className(), expected.className);
        QCOMPARE(control->property("text").toString(), QString::fromLatin1(expected.caption));
        QCOMPARE(control->isEnabled(), expected.enabled);
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            QCOMPARE(box->checkState(), expected.checked ? Qt::Checked : Qt::Unchecked);
        }
    }
}

void Form1Test::layoutIsTheTwipsTableWhenTheCaptionsFit()
{
    // The table in twips divided by 15, rounded.
    const std::array<PixelRect, kForm1ControlCount> at96 = {{
        {8, 8, 437, 19},
        {448, 8, 17, 17},
        {8, 32, 33, 17},
        {48, 32, 65, 17},
        {120, 32, 65, 17},
        {176, 32, 73, 17},
        {312, 32, 89, 17},
        {272, 32, 41, 17},
        {472, 8, 49, 40},
        {408, 32, 65, 17},
    }};
    // Captions as narrow as the table's font made them, and none at all.
    const std::array<int, kForm1ControlCount> narrow = {0, 12, 30, 60, 40, 70, 85, 36, 30, 60};
    for (const auto& captions : {narrow, std::array<int, kForm1ControlCount>{}}) {
        const Form1Pixels layout = PlaceControls(96, 96, captions);
        QVERIFY(layout.controls == at96);
        QCOMPARE(layout.clientWidth, 528);
        QCOMPARE(layout.clientHeight, 51);
    }
    const Form1Pixels at120 = PlaceControls(120, 120, narrow);
    QVERIFY((at120.controls[0] == PixelRect{10, 10, 547, 24}));
    QVERIFY((at120.controls[8] == PixelRect{590, 10, 61, 50}));
    QCOMPARE(at120.clientWidth, 660);
    QCOMPARE(at120.clientHeight, 64);
}

void Form1Test::layoutMakesRoomForWiderCaptions()
{
    // Captions of an 11-pixel DejaVu Sans: the row of check boxes moves
    // right where a caption runs into the next control, and "GO!" with it.
    const std::array<int, kForm1ControlCount> wide = {0, 12, 41, 76, 52, 83, 101, 43, 37, 65};
    const std::array<PixelRect, kForm1ControlCount> expected = {{
        {8, 8, 437, 19},
        {448, 8, 17, 17},
        {8, 32, 41, 17},
        {49, 32, 76, 17},
        {125, 32, 65, 17},
        {177, 32, 83, 17},
        {315, 32, 101, 17},
        {272, 32, 43, 17},
        {481, 8, 49, 40},
        {416, 32, 65, 17},
    }};
    const Form1Pixels layout = PlaceControls(96, 96, wide);
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        const PixelRect& r = layout.controls[i];
        QVERIFY2(r == expected[i], QByteArray(kForm1Places[i].name.data(), kForm1Places[i].name.size()) + ": " +
                                       QByteArray::number(r.left) + "," + QByteArray::number(r.width));
    }
    QCOMPARE(layout.clientWidth, 537);
    QCOMPARE(layout.clientHeight, 51);
}

void Form1Test::noCaptionIsClippedOrCrowded()
{
    Form1 form(RecordingHooks(record_, base_.path()));
    const int dpiY = form.logicalDpiY();
    // Where each caption's text ends, as the style lays it out.
    std::vector<std::pair<QWidget*, int>> row;
    for (const ControlPlace& place : kForm1Places) {
        auto* control = ControlNamed<QWidget>(form, place.name.data());
        QCOMPARE(control->y(), TwipsToPixels(place.twips.top, dpiY));
        QCOMPARE(control->height(), TwipsToPixels(place.twips.height, dpiY));
        int textEnd = 0;
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            const QRect contents = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            textEnd = contents.left() + box->fontMetrics().horizontalAdvance(box->text());
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            textEnd = label->fontMetrics().horizontalAdvance(label->text());
        }
        QVERIFY2(textEnd <= control->width(), place.name.data());
        if (control->y() > TwipsToPixels(PlaceOf("path").top, dpiY) || control->objectName() == "go") {
            row.emplace_back(control, control->x() + textEnd);
        }
    }
    std::sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a.first->x() < b.first->x(); });
    for (std::size_t i = 1; i < row.size(); ++i) {
        const QByteArray where =
            row[i - 1].first->objectName().toLatin1() + " runs into " + row[i].first->objectName().toLatin1();
        QVERIFY2(row[i - 1].second < row[i].first->x(), where.constData());
    }
    QVERIFY(form.width() >= TwipsToPixels(kClientWidthTwips, form.logicalDpiX()));
}

void Form1Test::twipsBecomePixelsAtTheScreenResolution()
{
    struct Case {
        int twips;
        int dpi;
        int pixels;
    };
    const Case table[] = {
        {15, 96, 1},      {7920, 96, 528}, {6560, 96, 437}, {7, 96, 0}, {8, 96, 1},
        {1440, 120, 120}, {285, 144, 29},  {765, 192, 102}, {0, 96, 0},
    };
    for (const Case& c : table) {
        QCOMPARE(TwipsToPixels(c.twips, c.dpi), c.pixels);
    }
    QCOMPARE(PlaceOf("go").height, 600);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, PlaceOf("Form1"));
}

void Form1Test::windowIsFixedSizeWithCaptionIconAndFonts()
{
    Form1 form(RecordingHooks(record_, base_.path()));
    QCOMPARE(form.windowTitle(), QStringLiteral("Quillery"));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.size(), form.minimumSize());
    QVERIFY(form.windowIcon().availableSizes().contains(QSize(32, 32)));

    const QFont goFont = ControlNamed<QWidget>(form, "go")->font();
    QCOMPARE(goFont.pointSizeF(), 13.5);
    QCOMPARE(goFont.weight(), QFont::Normal);
    for (const char* name : {"path", "browse", "Label1", "highlights", "fixANSI"}) {
        QCOMPARE(ControlNamed<QWidget>(form, name)->font().pointSizeF(), 8.25);
    }
}

void Form1Test::focusStartsInPathAndTabsAsTheLayoutReads()
{
    Form1 form(RecordingHooks(record_, base_.path()));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), ControlNamed<QWidget>(form, "path"));

    QStringList chain;
    auto* widget = ControlNamed<QWidget>(form, "path");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            chain.append(widget->objectName());
        }
        widget = widget->nextInFocusChain();
    } while (widget != ControlNamed<QWidget>(form, "path"));
    const QStringList expected = {"path", "browse",   "highlights", "notes", "bookmarks",
                                  "sort", "keeplocs", "fixANSI",    "go"};
    QCOMPARE(chain, expected);
    // The options in the chain stand left to right, whatever the font did to the layout.
    for (qsizetype i = 3; i < 8; ++i) {
        QVERIFY2(ControlNamed<QWidget>(form, qPrintable(chain[i - 1]))->x() <
                     ControlNamed<QWidget>(form, qPrintable(chain[i]))->x(),
                 qPrintable(chain[i]));
    }
}

void Form1Test::formLoadTakesThePathFromTheArgumentText_data()
{
    QTest::addColumn<QString>("argumentText");
    QTest::addColumn<QString>("expectedPath");
    QTest::addColumn<bool>("goEnabled");

    QTest::newRow("no argument") << ""
                                 << "" << false;
    QTest::newRow("one quoted path") << R"("/no/such/My Clippings.txt")"
                                     << "/no/such/My Clippings.txt" << true;
    QTest::newRow("quoted path and more") << R"("/no/a.txt" -x y)"
                                          << "/no/a.txt" << true;
    QTest::newRow("two quoted paths") << R"("/no/a.txt" "/no/b.txt")"
                                      << R"("/no/a.txt" "/no/b.txt")" << true;
    QTest::newRow("no closing quote") << R"("/no/a.txt)"
                                      << R"("/no/a.txt)" << true;
    QTest::newRow("two quotes only") << R"("")"
                                     << "" << false;
    QTest::newRow("one quote only") << R"(")"
                                    << R"(")" << true;
    QTest::newRow("quote inside, not first") << R"(/no/a"b".txt)"
                                             << R"(/no/a"b".txt)" << true;
    QTest::newRow("doubled closing quote") << R"("/no/a""")"
                                           << R"("/no/a""")" << true;
    QTest::newRow("missing file, unquoted") << "/no/such/file.txt"
                                            << "/no/such/file.txt" << true;
    QTest::newRow("blanks kept") << " /no/a.txt "
                                 << " /no/a.txt " << true;
}

void Form1Test::formLoadTakesThePathFromTheArgumentText()
{
    QFETCH(QString, argumentText);
    QFETCH(QString, expectedPath);
    QFETCH(bool, goEnabled);
    Form1 form(RecordingHooks(record_, base_.path()));
    form.Form_Load(U16(argumentText));
    QCOMPARE(ControlNamed<QLineEdit>(form, "path")->text(), expectedPath);
    QCOMPARE(ControlNamed<QWidget>(form, "go")->isEnabled(), goEnabled);
}

void Form1Test::argumentTextJoinsTheArgumentsWithBlanks()
{
    QCOMPARE(ArgumentText({"quillery"}), u"");
    QCOMPARE(ArgumentText({"quillery", "/home/me/My Clippings.txt"}), u"/home/me/My Clippings.txt");
    QCOMPARE(ArgumentText({"quillery", "/home/me/My", "Clippings.txt"}), u"/home/me/My Clippings.txt");
    QCOMPARE(ArgumentText({"quillery", "a", "", "b"}), u"a  b");
}

void Form1Test::goFollowsThePathKeystrokeByKeystroke()
{
    WriteFile(base_.path(), "ab.txt", "x");
    QVERIFY(QDir(base_.path()).mkdir("cd"));
    WriteFile(base_.path() + "/cd", "My Clippings.txt", "x");
    Form1 form(RecordingHooks(record_, base_.path()));
    auto* path = ControlNamed<QLineEdit>(form, "path");
    auto* go = ControlNamed<QWidget>(form, "go");

    // A folder without a clippings file is nothing to run on.
    path->setText(base_.path());
    QVERIFY(!go->isEnabled());
    struct Step {
        Qt::Key key;
        char typed;
        bool goEnabled;
    };
    const Step steps[] = {
        {Qt::Key_Slash, '/', false}, // the folder with its separator
        {Qt::Key_A, 'a', false},       {Qt::Key_B, 'b', false},       {Qt::Key_Period, '.', false},
        {Qt::Key_T, 't', false},       {Qt::Key_X, 'x', false},       {Qt::Key_T, 't', true},
        {Qt::Key_Backspace, 0, false}, {Qt::Key_T, 't', true},        {Qt::Key_Backspace, 0, false},
        {Qt::Key_Backspace, 0, false}, {Qt::Key_Backspace, 0, false}, {Qt::Key_Backspace, 0, false},
        {Qt::Key_Backspace, 0, false}, {Qt::Key_Backspace, 0, false}, {Qt::Key_C, 'c', false},
        {Qt::Key_D, 'd', true}, // a folder holding "My Clippings.txt"
        {Qt::Key_E, 'e', false},
    };
    int index = 0;
    for (const Step& step : steps) {
        QTest::keyClick(path, step.key, Qt::NoModifier);
        const QByteArray where = "step " + QByteArray::number(index++) + ": " + path->text().toUtf8();
        QVERIFY2(go->isEnabled() == step.goEnabled, where.constData());
    }
    QCOMPARE(path->text(), base_.path() + "/cde");
    path->selectAll();
    QTest::keyClick(path, Qt::Key_Delete);
    QCOMPARE(path->text(), QString());
    QVERIFY(!go->isEnabled());
}

void Form1Test::browseTakesOnlyAnExistingFile_data()
{
    QTest::addColumn<QString>("typedNames");
    QTest::addColumn<bool>("taken");

    QTest::newRow("one file") << "My Clippings.txt" << true;
    QTest::newRow("two files") << R"("My Clippings.txt" "NOTES.DKX")" << false;
    QTest::newRow("cancelled") << "" << false;
}

void Form1Test::browseTakesOnlyAnExistingFile()
{
    QFETCH(QString, typedNames);
    QFETCH(bool, taken);
    QTemporaryDir folder;
    const QString clippings = WriteFile(folder.path(), "My Clippings.txt", "");
    WriteFile(folder.path(), "NOTES.DKX", "");
    Form1 form(RecordingHooks(record_, base_.path()));

    WhenFileDialogShows([&](QFileDialog& dialog) {
        if (typedNames.isEmpty()) {
            dialog.reject();
            return;
        }
        dialog.setDirectory(folder.path());
        TypeFileNames(dialog, typedNames);
        AcceptDialog(dialog);
    });
    QTest::mouseClick(ControlNamed<QWidget>(form, "browse"), Qt::LeftButton);

    QCOMPARE(ControlNamed<QLineEdit>(form, "path")->text(), taken ? clippings : QString());
    QCOMPARE(ControlNamed<QWidget>(form, "go")->isEnabled(), taken);
}

int RunForm1Test(int argc, char** argv)
{
    Form1Test test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quillery::test

#include "form1_test.moc"
