#include "app/command_line.h"
#include "app/form1.h"
#include "extract/clip_store.h"
#include "extract/run_driver.h"
#include "extract/run_error.h"
#include "util/path_text.h"
#include "window_test_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QTest>

#include <clocale>
#include <fstream>
#include <functional>

#include <sys/stat.h>

Q_DECLARE_METATYPE(std::vector<std::u16string>)
Q_DECLARE_METATYPE(quillery::OutputFormat)

namespace quillery::test {

namespace {

const std::string kKindle =
    std::string(kByteOrderMark) +
    KindleEntry("Emma (Jane Austen)", "- Highlight Loc. 120-22 | Added on Monday, 1 May 2023", "First highlight") +
    KindleEntry("Emma (Jane Austen)", "- Note Loc. 130 | Added on Monday, 1 May 2023", "First note") +
    KindleEntry("Persuasion (Jane Austen)", "- Highlight Loc. 5 | Added on Tuesday, 2 May 2023", "Anne's line") +
    KindleEntry("Emma (Jane Austen)", "- Note Loc. 90 | Added on Wednesday, 3 May 2023", "Second note") +
    KindleEntry("Emma (Jane Austen)", "- Bookmark Loc. 200 | Added on Wednesday, 3 May 2023", "");

const std::vector<std::u16string> kKindleCaptions = {
    u"1 entries in 1 ebooks",
    u"2 entries in 1 ebooks",
    u"3 entries in 2 ebooks",
    u"4 entries in 2 ebooks",
    u"Sorting..",
    u"Saving..",
};

const std::string kDkx = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ReadingData><BookName>Dream</BookName>\r\n"
                         "<ReadingDataItem><Type>DIGEST</Type><BeginPos><AtomIndex>30</AtomIndex></BeginPos>"
                         "<BookContent>third place</BookContent></ReadingDataItem>\r\n"
                         "<ReadingDataItem><Type>COMMENT</Type><BeginPos><AtomIndex>10</AtomIndex></BeginPos>"
                         "<BookContent>quoted</BookContent><UserContent>my comment</UserContent></ReadingDataItem>\r\n"
                         "<ReadingDataItem><Type>DIGEST</Type><BeginPos><AtomIndex>20</AtomIndex></BeginPos>"
                         "<BookContent>second place</BookContent></ReadingDataItem>\r\n</ReadingData>\r\n";

// Emma's book file after a run with the initial options (sorted, no locations).
const std::string kEmmaSorted = "\xE2\x80\xA6NOTE: Second note\r\n\xE2\x80\xA6"
                                "First highlight\r\n\xE2\x80\xA6NOTE: First note\r\n";

// Counts the titles the window system is given.
class TitleSpy : public QObject {
  public:
    explicit TitleSpy(QWidget& window) : window_(window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowTitleChange) {
            titles.append(window_.windowTitle());
        }
        return false;
    }
    QStringList titles;

  private:
    QWidget& window_;
};

} // namespace

class WindowRunTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void aClickOnGoWritesTheFolderAndEndsWithStatusZero();
    void theContextMenuChoosesTheEncoding();
    void theContextMenuChoosesTheFormat_data();
    void theContextMenuChoosesTheFormat();
    void captionsOfARun_data();
    void captionsOfARun();
    void anOptionChangedDuringARunAppliesFromThen_data();
    void anOptionChangedDuringARunAppliesFromThen();
    void theWindowIsServicedAtMostAtItsRate();

    // One run at a time, and none half-written
    void noSecondRunStartsWhileOneIsUnderWay();
    void closingTheWindowDuringARun_data();
    void closingTheWindowDuringARun();

    void aPathThatIsNotUtf8ReachesItsFile();
    void skippedEntriesAreShownInAWarningBeforeTheEnd();
    void aFailedRunShowsItsMessageAndKeepsTheWindowForAnotherTry_data();
    void aFailedRunShowsItsMessageAndKeepsTheWindowForAnotherTry();
    void aFolderIsReadThroughItsClippingsFile_data();
    void aFolderIsReadThroughItsClippingsFile();
    void aCommaDecimalLocaleWritesWhatTheCLocaleWrites();

  private:
    // A window whose run writes into base_, with `atCaption` run (through the
    // event loop, as a user's action would be) once that caption is set.
    std::unique_ptr<Form1> MakeForm(const std::u16string& atCaption = {}, std::function<void()> action = {},
                                    WindowFrontEnd::Clock clock = SteppingClock(std::chrono::seconds(1)));
    void RunOn(Form1& form, const QString& input);
    QString OutputFolder() const { return base_->path() + "/My Clippings"; }

    std::unique_ptr<QTemporaryDir> input_;
    std::unique_ptr<QTemporaryDir> base_;
    RunRecord record_;
};

void WindowRunTest::init()
{
    input_ = std::make_unique<QTemporaryDir>();
    base_ = std::make_unique<QTemporaryDir>();
    record_ = {};
}

void WindowRunTest::cleanup()
{
    input_.reset();
    base_.reset();
}

std::unique_ptr<Form1> WindowRunTest::MakeForm(const std::u16string& atCaption, std::function<void()> action,
                                               WindowFrontEnd::Clock clock)
{
    Form1Hooks hooks = RecordingHooks(record_, base_->path(), std::move(clock));
    hooks.onCaption = [record = hooks.onCaption, atCaption, action](const std::u16string& caption) {
        record(caption);
        if (action && caption == atCaption) {
            QMetaObject::invokeMethod(qApp, action, Qt::QueuedConnection);
        }
    };
    auto form = std::make_unique<Form1>(std::move(hooks));
    form->show();
    return form;
}

void WindowRunTest::RunOn(Form1& form, const QString& input)
{
    form.Form_Load(U16(input));
    QTest::mouseClick(ControlNamed<QWidget>(form, "go"), Qt::LeftButton);
}

void WindowRunTest::aClickOnGoWritesTheFolderAndEndsWithStatusZero()
{
    auto form = MakeForm();
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt", kKindle));

    QCOMPARE(record_.failures, QStringList());
    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QCOMPARE(record_.done, QStringList{"4 entries of 2 books written to \"" + OutputFolder() + "\""});
    QCOMPARE(record_.opened, QList<QUrl>{QUrl::fromLocalFile(OutputFolder())});
    QCOMPARE(FolderNames(base_->path()), QStringList{"My Clippings"});
    const QStringList books = {"Emma (Jane Austen).txt", "Persuasion (Jane Austen).txt", "all.htm"};
    QCOMPARE(FolderNames(OutputFolder()), books);
    QCOMPARE(ReadFile(OutputFolder() + "/Emma (Jane Austen).txt"), kEmmaSorted);
    QCOMPARE(ReadFile(OutputFolder() + "/Persuasion (Jane Austen).txt"), std::string("\xE2\x80\xA6"
                                                                                     "Anne's line\r\n"));
    QVERIFY(!ControlNamed<QWidget>(*form, "go")->isEnabled());
    QCOMPARE(form->windowTitle(), QStringLiteral("Saving.."));
}

void WindowRunTest::theContextMenuChoosesTheEncoding()
{
    auto form = MakeForm();
    QCOMPARE(form->contextMenuPolicy(), Qt::ActionsContextMenu);
    // Two encodings, a separator, five formats.
    QCOMPARE(form->actions().size(), 8);
    QVERIFY(form->encodingAction(TextEncoding::utf8)->isChecked());
    form->encodingAction(TextEncoding::windows1252)->trigger();
    QVERIFY(!form->encodingAction(TextEncoding::utf8)->isChecked());
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt", kKindle));

    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QCOMPARE(ReadFile(OutputFolder() + "/Persuasion (Jane Austen).txt"), std::string("\x85"
                                                                                     "Anne's line\r\n"));
    QVERIFY(ReadFile(OutputFolder() + "/all.htm").starts_with("<HTML><BODY>\r\n"));
}

void WindowRunTest::theContextMenuChoosesTheFormat_data()
{
    QTest::addColumn<OutputFormat>("format");
    QTest::addColumn<QString>("written");
    QTest::newRow("markdown") << OutputFormat::markdown << "Persuasion.md";
    QTest::newRow("html") << OutputFormat::html << "index.html";
    QTest::newRow("csv") << OutputFormat::csv << "clippings.csv";
    QTest::newRow("json") << OutputFormat::json << "clippings.json";
}

void WindowRunTest::theContextMenuChoosesTheFormat()
{
    QFETCH(OutputFormat, format);
    QFETCH(QString, written);
    auto form = MakeForm();
    QVERIFY(form->formatAction(OutputFormat::classic)->isChecked());
    form->formatAction(format)->trigger();
    QCOMPARE(form->format(), format);
    QVERIFY(!form->formatAction(OutputFormat::classic)->isChecked());
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt", kKindle));
    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QVERIFY2(QFileInfo::exists(OutputFolder() + u'/' + written), qPrintable(written));
    QVERIFY(!QFileInfo::exists(OutputFolder() + QStringLiteral("/all.htm")));
}

void WindowRunTest::captionsOfARun_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<std::vector<std::u16string>>("captions");
    QTest::addColumn<QString>("bookFile");
    QTest::addColumn<QByteArray>("bookText");

    QTest::newRow("Kindle") << "My Clippings.txt" << QByteArray::fromStdString(kKindle) << kKindleCaptions
                            << "Emma (Jane Austen).txt" << QByteArray::fromStdString(kEmmaSorted);
    const std::vector<std::u16string> dkxCaptions = {u"1 entries in 1 ebooks", u"2 entries in 1 ebooks",
                                                     u"3 entries in 1 ebooks", u"Saving.."};
    QTest::newRow("DKX, name in mixed case")
        << "notes.Dkx" << QByteArray::fromStdString(kDkx) << dkxCaptions << "Dream.txt"
        << QByteArray("\xE2\x80\xA6NOTE: my comment\r\n\xE2\x80\xA6second place\r\n\xE2\x80\xA6third place\r\n");
    const std::vector<std::u16string> allDropped = {u"Sorting..", u"Saving.."};
    QTest::newRow("Kindle, every entry dropped")
        << "bookmarks.txt"
        << QByteArray::fromStdString(std::string(kByteOrderMark) +
                                     KindleEntry("Emma", "- Bookmark Loc. 3 | Added on Monday", ""))
        << allDropped << "Emma.txt" << QByteArray();
}

void WindowRunTest::captionsOfARun()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(std::vector<std::u16string>, captions);
    QFETCH(QString, bookFile);
    QFETCH(QByteArray, bookText);
    auto form = MakeForm();
    RunOn(*form, WriteFile(input_->path(), fileName, content.toStdString()));

    QCOMPARE(record_.failures, QStringList());
    QVERIFY(record_.captions == captions);
    QCOMPARE(QByteArray::fromStdString(ReadFile(OutputFolder() + "/" + bookFile)), bookText);
}

void WindowRunTest::anOptionChangedDuringARunAppliesFromThen_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("atCaption");
    QTest::addColumn<QByteArray>("emmaText");

    QTest::newRow("notes unticked after the second entry")
        << "notes"
        << "2 entries in 1 ebooks"
        << QByteArray("\xE2\x80\xA6"
                      "First highlight\r\n\xE2\x80\xA6NOTE: First note\r\n");
    QTest::newRow("bookmarks ticked after the first entry")
        << "bookmarks"
        << "1 entries in 1 ebooks" << QByteArray::fromStdString(kEmmaSorted + "BOOKMARK @ 200\r\n");
    QTest::newRow("sort unticked after the last entry")
        << "sort"
        << "4 entries in 2 ebooks"
        << QByteArray("\xE2\x80\xA6"
                      "First highlight\r\n\xE2\x80\xA6NOTE: First note\r\n\xE2\x80\xA6NOTE: Second note\r\n");
    QTest::newRow("keep locations ticked while sorting")
        << "keeplocs"
        << "Sorting.." << QByteArray("@90 NOTE: Second note\r\n@120 First highlight\r\n@130 NOTE: First note\r\n");
}

void WindowRunTest::anOptionChangedDuringARunAppliesFromThen()
{
    QFETCH(QString, box);
    QFETCH(QString, atCaption);
    QFETCH(QByteArray, emmaText);
    QPointer<QAbstractButton> checkBox;
    auto form = MakeForm(U16(atCaption), [&checkBox] { QTest::mouseClick(checkBox, Qt::LeftButton); });
    checkBox = ControlNamed<QAbstractButton>(*form, box.toLatin1().constData());
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt", kKindle));

    QCOMPARE(record_.failures, QStringList());
    QCOMPARE(QByteArray::fromStdString(ReadFile(OutputFolder() + "/Emma (Jane Austen).txt")), emmaText);
}

void WindowRunTest::theWindowIsServicedAtMostAtItsRate()
{
    // A clock that stands still: after the first service none is due again,
    // so only the phase captions are drawn and a click after the second
    // entry waits for "Sorting..".
    const auto frozen = [] { return std::chrono::steady_clock::time_point{} + std::chrono::hours(1); };
    QPointer<QAbstractButton> notes;
    auto form = MakeForm(
        u"2 entries in 1 ebooks", [&notes] { QTest::mouseClick(notes, Qt::LeftButton); }, frozen);
    notes = ControlNamed<QAbstractButton>(*form, "notes");
    TitleSpy spy(*form);
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt", kKindle));

    QVERIFY(record_.captions == kKindleCaptions);
    QCOMPARE(spy.titles, (QStringList{"1 entries in 1 ebooks", "Sorting..", "Saving.."}));
    QVERIFY(!notes->isChecked());
    QCOMPARE(ReadFile(OutputFolder() + "/Emma (Jane Austen).txt"), kEmmaSorted);
}

void WindowRunTest::noSecondRunStartsWhileOneIsUnderWay()
{
    const QString other = WriteFile(input_->path(), "other.txt", KindleEntry("Other", "- Highlight Loc. 1 | x", "o"));
    bool goEnabledAfterTyping = true;
    Form1* window = nullptr;
    auto form = MakeForm(u"2 entries in 1 ebooks", [&] {
        auto* path = ControlNamed<QLineEdit>(*window, "path");
        path->clear();
        QTest::keyClicks(path, other);
        goEnabledAfterTyping = ControlNamed<QWidget>(*window, "go")->isEnabled();
        QTest::mouseClick(ControlNamed<QWidget>(*window, "go"), Qt::LeftButton);
        window->go_click();
    });
    window = form.get();
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt", kKindle));

    QCOMPARE(ControlNamed<QLineEdit>(*form, "path")->text(), other);
    QVERIFY(!goEnabledAfterTyping);
    QVERIFY(record_.captions == kKindleCaptions);
    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QCOMPARE(FolderNames(base_->path()), QStringList{"My Clippings"});
    QCOMPARE(ReadFile(OutputFolder() + "/Emma (Jane Austen).txt"), kEmmaSorted);
}

void WindowRunTest::closingTheWindowDuringARun_data()
{
    QTest::addColumn<QString>("atCaption");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("while reading") << "2 entries in 1 ebooks" << QStringList();
    QTest::newRow("while sorting") << "Sorting.." << QStringList();
    QTest::newRow("before the first file") << "Saving.." << QStringList();
}

void WindowRunTest::closingTheWindowDuringARun()
{
    QFETCH(QString, atCaption);
    QFETCH(QStringList, written);
    Form1* window = nullptr;
    auto form = MakeForm(U16(atCaption), [&window] { window->close(); });
    window = form.get();
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt", kKindle));

    QVERIFY(!form->isVisible());
    QCOMPARE(record_.failures, QStringList());
    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QCOMPARE(FolderNames(base_->path()), written);
    if (!written.isEmpty()) {
        QVERIFY(ReadFile(OutputFolder() + "/all.htm").ends_with("</BODY></HTML>\r\n"));
    }
}

void WindowRunTest::skippedEntriesAreShownInAWarningBeforeTheEnd()
{
    auto form = MakeForm();
    RunOn(*form, WriteFile(input_->path(), "My Clippings.txt",
                           std::string(kKindle) + KindleEntry("Emma", "- Din markering | Tilf\xC3\xB8jet", "x")));
    QCOMPARE(record_.failures, QStringList());
    const QString skipped = QString::fromUtf8("- Din markering | Tilf\xC3\xB8jet");
    // kKindle holds five entries of five lines each.
    QCOMPARE(record_.warnings, QStringList{"1 entries in a form not recognised were skipped (the first at line 27: \"" +
                                           skipped + "\")"});
    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QCOMPARE(FolderNames(base_->path()), QStringList{"My Clippings"});
}

void WindowRunTest::aPathThatIsNotUtf8ReachesItsFile()
{
    // A Latin-1 "é" in the name, as main() receives it: no valid UTF-8.
    const std::string path = QFile::encodeName(input_->path()).toStdString() + "/x-\xE9.txt";
    std::ofstream(path, std::ios::binary) << kKindle;
    const char* const argv[] = {"quillery", path.c_str()};
    auto form = MakeForm();
    form->Form_Load(ArgumentText(ArgumentList(2, argv)));
    QCOMPARE(ToUtf8(U16(ControlNamed<QLineEdit>(*form, "path")->text())), path);
    QTest::mouseClick(ControlNamed<QWidget>(*form, "go"), Qt::LeftButton);

    QCOMPARE(record_.failures, QStringList());
    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QCOMPARE(ReadFile(OutputFolder() + "/Emma (Jane Austen).txt"), kEmmaSorted);
}

void WindowRunTest::aFailedRunShowsItsMessageAndKeepsTheWindowForAnotherTry_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("missing file") << "" << QByteArray();
    QTest::newRow("empty Kindle file") << "My Clippings.txt" << QByteArray();
    QTest::newRow("file ending inside an entry")
        << "My Clippings.txt"
        << QByteArray::fromStdString(std::string(kByteOrderMark) + "Emma\r\n- Highlight Loc. 1 | x\r\n");
    QTest::newRow("no clippings at all") << "My Clippings.txt" << QByteArray("Dear Ann,\r\nsee you soon.\r\n");
    QTest::newRow("no Duokan data at all") << "notes.dkx" << QByteArray("Dear Ann,\r\nsee you soon.\r\n");
    // Entries read before the failure must not count in the next run.
    QTest::newRow("entries, then an entry cut short")
        << "My Clippings.txt"
        << QByteArray::fromStdString(kKindle + KindleEntry("Other", "- Highlight Loc. 1 | x", "y") +
                                     "Cut\r\n- Highlight Loc. 1 | x\r\n");
    // Opening a FIFO that no one writes to would block the window for good.
    QTest::newRow("FIFO without a writer") << "fifo" << QByteArray();
}

void WindowRunTest::aFailedRunShowsItsMessageAndKeepsTheWindowForAnotherTry()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QString input = input_->path() + "/missing.txt";
    if (fileName == "fifo") {
        input = input_->path() + "/fifo.txt";
        QCOMPARE(mkfifo(QFile::encodeName(input).constData(), 0600), 0);
    } else if (!fileName.isEmpty()) {
        input = WriteFile(input_->path(), fileName, content.toStdString());
    }
    // The run's own message, as the core gives it.
    QString expected;
    try {
        struct Silent : FrontEnd {
            explicit Silent(std::u16string p) : path(std::move(p)) {}
            void SetCaption(const std::u16string&) override {}
            void EnterPhase(RunPhase) override {}
            bool OptionOn(ExtractOption option) override { return ExtractOptions{}.Get(option); }
            void Yield() override {}
            RunRequest request() const { return {path, kDefaultEncoding, {}}; }
            std::u16string path;
        } frontEnd(U16(input));
        ClipStore store;
        ReadAndSort(frontEnd.request(), store, frontEnd);
    } catch (const RunError& error) {
        expected = QString::fromUtf8(error.what());
    }
    QVERIFY2(expected.contains(input), qPrintable(expected));

    auto form = MakeForm();
    ControlNamed<QAbstractButton>(*form, "bookmarks")->setChecked(true);
    ControlNamed<QAbstractButton>(*form, "sort")->setChecked(false);
    RunOn(*form, input);
    QCOMPARE(record_.failures, QStringList{expected});
    QVERIFY(record_.exitStatuses.empty());
    QCOMPARE(form->exitStatusOnClose(), kWindowRunFailed);
    QCOMPARE(FolderNames(base_->path()), QStringList());
    // The window stays as it was, ready for another try.
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("Quillery"));
    QCOMPARE(ControlNamed<QLineEdit>(*form, "path")->text(), input);
    QVERIFY(ControlNamed<QAbstractButton>(*form, "bookmarks")->isChecked());
    QVERIFY(!ControlNamed<QAbstractButton>(*form, "sort")->isChecked());
    const bool aFileIsThere = fileName != "";
    QCOMPARE(ControlNamed<QWidget>(*form, "go")->isEnabled(), aFileIsThere);

    // The path mended, "GO!" runs again and counts only what this run read.
    auto* path = ControlNamed<QLineEdit>(*form, "path");
    path->setText(WriteFile(input_->path(), "mended.txt", kKindle));
    QTest::mouseClick(ControlNamed<QWidget>(*form, "go"), Qt::LeftButton);
    QCOMPARE(record_.failures.size(), 1);
    QCOMPARE(record_.exitStatuses, std::vector<int>{kWindowRunDone});
    QCOMPARE(form->exitStatusOnClose(), kWindowRunDone);
    QCOMPARE(record_.done, QStringList{"5 entries of 2 books written to \"" + OutputFolder() + "\""});
    QCOMPARE(ReadFile(OutputFolder() + "/Persuasion (Jane Austen).txt"), std::string("\xE2\x80\xA6"
                                                                                     "Anne's line\r\n"));
}

void WindowRunTest::aFolderIsReadThroughItsClippingsFile_data()
{
    QTest::addColumn<QString>("inside");  // where the file lies in the folder given; "" for none
    QTest::addColumn<QString>("failure"); // the start of the message, when refused

    QTest::newRow("e-reader") << "documents/My Clippings.txt"
                              << "";
    QTest::newRow("its documents folder") << "My Clippings.txt"
                                          << "";
    QTest::newRow("no clippings file") << ""
                                       << "no clippings file in the folder \"";
}

void WindowRunTest::aFolderIsReadThroughItsClippingsFile()
{
    QFETCH(QString, inside);
    QFETCH(QString, failure);
    const QString device = input_->path() + "/Kindle";
    QVERIFY(QDir().mkpath(device + "/documents"));
    if (!inside.isEmpty()) {
        WriteFile(device, inside, kKindle);
    }
    auto form = MakeForm();
    RunOn(*form, device);
    if (failure.isEmpty()) {
        QCOMPARE(record_.failures, QStringList());
        QCOMPARE(ReadFile(OutputFolder() + "/Emma (Jane Austen).txt"), kEmmaSorted);
    } else {
        QCOMPARE(record_.failures.size(), 1);
        QVERIFY2(
            record_.failures.front().startsWith(failure + device + "\": looked for \"documents/My Clippings.txt\""),
            qPrintable(record_.failures.front()));
        QCOMPARE(FolderNames(base_->path()), QStringList());
    }
}

void WindowRunTest::aCommaDecimalLocaleWritesWhatTheCLocaleWrites()
{
    // The sample and a location with a decimal point, which must read 14 whatever the locale.
    const std::string sample = ReadFile(QStringLiteral(SAMPLE_DIR "/My Clippings.txt"));
    QVERIFY(!sample.empty());
    const QString input = WriteFile(input_->path(), "My Clippings.txt",
                                    sample + KindleEntry("Decimal", "- Highlight Loc. 13.5 | Added on Monday", "d"));
    const std::string before = setlocale(LC_ALL, nullptr);
    QMap<QString, std::string> outputs;
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        if (setlocale(LC_ALL, locale) == nullptr) {
            setlocale(LC_ALL, before.c_str());
            QSKIP("the de_DE.UTF-8 locale is not installed (make deps generates it)");
        }
        QCOMPARE(QString::fromLatin1(localeconv()->decimal_point), QString::fromLatin1(locale[0] == 'C' ? "." : ","));
        const auto base = std::make_unique<QTemporaryDir>();
        RunRecord record;
        Form1 form(RecordingHooks(record, base->path()));
        ControlNamed<QAbstractButton>(form, "keeplocs")->setChecked(true);
        form.Form_Load(U16(input));
        QTest::mouseClick(ControlNamed<QWidget>(form, "go"), Qt::LeftButton);
        QCOMPARE(record.failures, QStringList());
        std::string all;
        for (const QString& name : FolderNames(base->path() + "/My Clippings")) {
            all += name.toStdString() + ":\n" + ReadFile(base->path() + "/My Clippings/" + name);
        }
        outputs[QString::fromLatin1(locale)] = all;
    }
    setlocale(LC_ALL, before.c_str());
    QVERIFY(outputs["C"].find("Decimal.txt:\n@14 d\r\n") != std::string::npos);
    QCOMPARE(QString::fromStdString(outputs["de_DE.UTF-8"]), QString::fromStdString(outputs["C"]));
}

int RunWindowRunTest(int argc, char** argv)
{
    WindowRunTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quillery::test

#include "window_run_test.moc"
