#include "app/command_line.h"
#include "app/form1.h"
#include "util/path_text.h"
#include "window_test_support.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <optional>

namespace quillery::test {

namespace {

const std::string kEntry = KindleEntry("Emma", "- Highlight Loc. 1 | Added on Monday", "text");

} // namespace

// How the window takes its input: the command line, the e-readers found,
// drops, typed text, Enter and the file dialog's start.
class WindowInputTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void onlyTheProgramsOwnOptionsAreOptions();
    void theWrittenFolderIsOpenedUnlessTurnedOff();
    void withoutAPathTheOneConnectedReaderIsTaken_data();
    void withoutAPathTheOneConnectedReaderIsTaken();
    void aDropBecomesThePath_data();
    void aDropBecomesThePath();
    void typedTextIsTakenAsThePathItMeans_data();
    void typedTextIsTakenAsThePathItMeans();
    void enterPressesGoWhenItIsEnabled_data();
    void enterPressesGoWhenItIsEnabled();
    void theDialogOpensAtThePathElseAtTheReader_data();
    void theDialogOpensAtThePathElseAtTheReader();
    void everyControlSaysWhatItDoes();

  private:
    // Makes `relative` inside the root as a clippings file and returns its path.
    QString AddFile(const QString& relative);
    // Points the window's search at a mount table listing these folders of the root.
    void Mount(const QStringList& folders);

    std::unique_ptr<QTemporaryDir> root_;
    RunRecord record_;
};

void WindowInputTest::init()
{
    root_ = std::make_unique<QTemporaryDir>();
    record_ = {};
}

void WindowInputTest::cleanup()
{
    root_.reset();
}

QString WindowInputTest::AddFile(const QString& relative)
{
    const QString file = root_->path() + "/" + relative;
    QDir().mkpath(QFileInfo(file).path());
    return WriteFile(QFileInfo(file).path(), QFileInfo(file).fileName(), kEntry);
}

void WindowInputTest::Mount(const QStringList& folders)
{
    std::string table = "proc /proc proc rw 0 0\n";
    for (const QString& folder : folders) {
        QDir().mkpath(root_->path() + "/" + folder);
        // The mount table writes a blank in a name as \040.
        QString point = root_->path() + "/" + folder;
        table += "/dev/sdx1 " + point.replace(" ", "\\040").toStdString() + " vfat rw 0 0\n";
    }
    record_.devicePlaces = {U16(WriteFile(root_->path(), "mounts", table)), U16(root_->path() + "/runtime")};
}

void WindowInputTest::onlyTheProgramsOwnOptionsAreOptions()
{
    const struct {
        QStringList arguments;
        TextEncoding encoding;
        bool noOpen;
        bool help;
        bool version;
        const char16_t* path;
        const char* error;
    } cases[] = {
        {{"quillery", "a.txt"}, kDefaultEncoding, false, false, false, u"a.txt", ""},
        {{"quillery", "--encoding", "windows-1252", "a b.txt"},
         TextEncoding::windows1252,
         false,
         false,
         false,
         u"a b.txt",
         ""},
        {{"quillery", "a.txt", "--encoding=windows-1252"},
         TextEncoding::windows1252,
         false,
         false,
         false,
         u"a.txt",
         ""},
        {{"quillery", "--no-open", "My", "Clippings.txt"},
         kDefaultEncoding,
         true,
         false,
         false,
         u"My Clippings.txt",
         ""},
        {{"quillery", "--format", "html", "a.txt"}, kDefaultEncoding, false, false, false, u"a.txt", ""},
        // Qt's own options are no options here: they are the path.
        {{"quillery", "-platform", "x"}, kDefaultEncoding, false, false, false, u"-platform x", ""},
        {{"quillery", "-display", ":99"}, kDefaultEncoding, false, false, false, u"-display :99", ""},
        {{"quillery", "-reverse"}, kDefaultEncoding, false, false, false, u"-reverse", ""},
        {{"quillery", "--", "--no-open", "--help"}, kDefaultEncoding, false, false, false, u"--no-open --help", ""},
        {{"quillery", "--help", "a.txt"}, kDefaultEncoding, false, true, false, u"a.txt", ""},
        {{"quillery", "-h"}, kDefaultEncoding, false, true, false, u"", ""},
        {{"quillery", "--version"}, kDefaultEncoding, false, false, true, u"", ""},
        {{"quillery", "--encoding", "latin1", "a.txt"},
         kDefaultEncoding,
         false,
         false,
         false,
         u"a.txt",
         "--encoding takes utf-8 or windows-1252, not \"latin1\""},
        {{"quillery", "a.txt", "--encoding"},
         kDefaultEncoding,
         false,
         false,
         false,
         u"a.txt",
         "--encoding needs a value"},
        {{"quillery", "--format"}, kDefaultEncoding, false, false, false, u"", "--format needs a value"},
        {{"quillery"}, kDefaultEncoding, false, false, false, u"", ""},
    };
    for (const auto& c : cases) {
        const QByteArray where = c.arguments.join(u' ').toUtf8();
        const WindowCommandLine line = ParseWindowCommandLine(c.arguments);
        QVERIFY2(line.encoding == c.encoding, where);
        QVERIFY2(line.noOpen == c.noOpen, where);
        QVERIFY2(line.help == c.help, where);
        QVERIFY2(line.version == c.version, where);
        QVERIFY2(line.argumentText == c.path, where);
        QVERIFY2(line.error == c.error, where + ": " + QByteArray::fromStdString(line.error));
    }
    QVERIFY(WindowHelpText().starts_with("Usage: quillery [OPTIONS] [FILE]\n"));
    QCOMPARE(WindowVersionText(), std::string("quillery ") + QUILLERY_VERSION + "\n");
}

void WindowInputTest::theWrittenFolderIsOpenedUnlessTurnedOff()
{
    const struct {
        bool noOpenOption;
        QByteArray setting;
        bool opens;
    } cases[] = {
        {false, "", true}, {false, "0", true}, {false, "1", false}, {false, "yes", false}, {true, "", false},
    };
    for (const auto& c : cases) {
        WindowCommandLine line;
        line.noOpen = c.noOpenOption;
        QVERIFY2(OpensWrittenFolder(line, c.setting) == c.opens, c.setting.constData());
    }
}

void WindowInputTest::withoutAPathTheOneConnectedReaderIsTaken_data()
{
    QTest::addColumn<QStringList>("mounts");
    QTest::addColumn<QStringList>("files"); // made inside the root
    QTest::addColumn<QString>("expected");  // the path box afterwards, relative to the root

    QTest::newRow("no e-reader") << QStringList{"media/me/Stick"} << QStringList{"media/me/Stick/a.txt"} << "";
    QTest::newRow("one mounted") << QStringList{"media/me/Kindle", "media/me/Stick"}
                                 << QStringList{"media/me/Kindle/documents/My Clippings.txt", "media/me/Stick/a.txt"}
                                 << "media/me/Kindle/documents/My Clippings.txt";
    QTest::newRow("one mounted, name with a blank")
        << QStringList{"run/media/me/My Kindle"} << QStringList{"run/media/me/My Kindle/documents/My Clippings.txt"}
        << "run/media/me/My Kindle/documents/My Clippings.txt";
    QTest::newRow("one over MTP")
        << QStringList{}
        << QStringList{"runtime/gvfs/mtp:host=Amazon_Kindle/Internal Storage/documents/My Clippings.txt"}
        << "runtime/gvfs/mtp:host=Amazon_Kindle/Internal Storage/documents/My Clippings.txt";
    QTest::newRow("two: the dialog offers them")
        << QStringList{"media/me/Kindle"}
        << QStringList{"media/me/Kindle/documents/My Clippings.txt",
                       "runtime/gvfs/mtp:host=Other/Internal Storage/documents/My Clippings.txt"}
        << "";
}

void WindowInputTest::withoutAPathTheOneConnectedReaderIsTaken()
{
    QFETCH(QStringList, mounts);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    Mount(mounts);
    for (const QString& file : files) {
        AddFile(file);
    }
    Form1 form(RecordingHooks(record_, root_->path()));
    form.Form_Load(u"");
    QCOMPARE(ControlNamed<QLineEdit>(form, "path")->text(),
             expected.isEmpty() ? QString() : root_->path() + "/" + expected);
    QCOMPARE(ControlNamed<QWidget>(form, "go")->isEnabled(), !expected.isEmpty());
}

void WindowInputTest::aDropBecomesThePath_data()
{
    QTest::addColumn<QString>("target");  // "window" or "path"
    QTest::addColumn<QString>("kind");    // "url" or "text"
    QTest::addColumn<QString>("dropped"); // with ROOT for the root folder
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("goEnabled");

    const QString file = "ROOT/in/My Clippings.txt";
    QTest::newRow("file on the window") << "window"
                                        << "url" << file << file << true;
    QTest::newRow("file on the path box") << "path"
                                          << "url" << file << file << true;
    QTest::newRow("e-reader folder on the path box") << "path"
                                                     << "url"
                                                     << "ROOT/Kindle"
                                                     << "ROOT/Kindle" << true;
    QTest::newRow("folder without clippings") << "window"
                                              << "url"
                                              << "ROOT/empty"
                                              << "ROOT/empty" << false;
    QTest::newRow("escaped URI as text") << "path"
                                         << "text"
                                         << "file://ROOT/in/My%20Clippings.txt\r\n"
                                         << file << true;
    QTest::newRow("unescaped URI as text") << "window"
                                           << "text"
                                           << "file://ROOT/in/My Clippings.txt" << file << true;
    QTest::newRow("plain path with blanks") << "path"
                                            << "text"
                                            << "  ROOT/in/My Clippings.txt \n"
                                            << file << true;
    QTest::newRow("web address: refused") << "window"
                                          << "url"
                                          << "https://example.com/a.txt"
                                          << "" << false;
}

void WindowInputTest::aDropBecomesThePath()
{
    QFETCH(QString, target);
    QFETCH(QString, kind);
    QFETCH(QString, dropped);
    QFETCH(QString, expected);
    QFETCH(bool, goEnabled);
    AddFile("in/My Clippings.txt");
    AddFile("Kindle/documents/My Clippings.txt");
    QDir().mkpath(root_->path() + "/empty");
    dropped.replace("ROOT", root_->path());
    expected.replace("ROOT", root_->path());

    Form1 form(RecordingHooks(record_, root_->path()));
    form.show();
    QWidget* widget = target == "window" ? static_cast<QWidget*>(&form) : ControlNamed<QWidget>(form, "path");
    QMimeData data;
    if (kind == "url") {
        data.setUrls({dropped.startsWith('/') ? QUrl::fromLocalFile(dropped) : QUrl(dropped)});
    } else {
        data.setText(dropped);
    }
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QCOMPARE(enter.isAccepted(), !expected.isEmpty());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);

    QCOMPARE(ControlNamed<QLineEdit>(form, "path")->text(), expected);
    QCOMPARE(ControlNamed<QWidget>(form, "go")->isEnabled(), goEnabled);
}

void WindowInputTest::typedTextIsTakenAsThePathItMeans_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("goEnabled");

    QTest::newRow("blanks at both ends") << "  ROOT/in/My Clippings.txt  " << true;
    QTest::newRow("escaped URI") << "file://ROOT/in/My%20Clippings.txt" << true;
    QTest::newRow("home") << "~/in/My Clippings.txt" << true;
    QTest::newRow("home, no such file") << "~/in/none.txt" << false;
    QTest::newRow("URI of another host") << "file://server/ROOT/in/My%20Clippings.txt" << false;
}

void WindowInputTest::typedTextIsTakenAsThePathItMeans()
{
    QFETCH(QString, typed);
    QFETCH(bool, goEnabled);
    AddFile("in/My Clippings.txt");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(root_->path()));
    typed.replace("ROOT", root_->path());

    Form1 form(RecordingHooks(record_, root_->path() + "/out"));
    QDir().mkpath(root_->path() + "/out");
    ControlNamed<QLineEdit>(form, "path")->setText(typed);
    const bool enabled = ControlNamed<QWidget>(form, "go")->isEnabled();
    if (goEnabled) {
        QTest::mouseClick(ControlNamed<QWidget>(form, "go"), Qt::LeftButton);
    }
    qputenv("HOME", home);
    QCOMPARE(enabled, goEnabled);
    if (goEnabled) {
        QCOMPARE(record_.failures, QStringList());
        QCOMPARE(FolderNames(root_->path() + "/out/My Clippings"), (QStringList{"Emma.txt", "all.htm"}));
    }
}

void WindowInputTest::enterPressesGoWhenItIsEnabled_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("runs");

    QTest::newRow("in the path box") << "path" << true << 1;
    QTest::newRow("on a check box") << "notes" << true << 1;
    QTest::newRow("on GO!") << "go" << true << 1;
    QTest::newRow("GO! disabled") << "path" << false << 0;
    QTest::newRow("on ... opens the dialog") << "browse" << true << 0;
}

void WindowInputTest::enterPressesGoWhenItIsEnabled()
{
    QFETCH(QString, focus);
    QFETCH(bool, withFile);
    QFETCH(int, runs);
    const QString file = AddFile("in/My Clippings.txt");
    Form1 form(RecordingHooks(record_, root_->path()));
    if (withFile) {
        form.Form_Load(U16(file));
    }
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* control = ControlNamed<QWidget>(form, focus.toLatin1().constData());
    control->setFocus();
    bool dialogShown = false;
    if (focus == "browse") {
        WhenFileDialogShows([&dialogShown](QFileDialog& dialog) {
            dialogShown = true;
            dialog.reject();
        });
    }
    // Both Enter keys; after a run "GO!" is disabled, so the second runs nothing more.
    const QList<Qt::Key> keys =
        focus == "browse" ? QList<Qt::Key>{Qt::Key_Enter} : QList<Qt::Key>{Qt::Key_Return, Qt::Key_Enter};
    for (const Qt::Key key : keys) {
        QTest::keyClick(control, key);
    }
    QCOMPARE(static_cast<int>(record_.exitStatuses.size()), runs);
    QCOMPARE(FolderNames(root_->path()).contains("My Clippings"), runs > 0);
    QCOMPARE(dialogShown, focus == "browse");
}

void WindowInputTest::theDialogOpensAtThePathElseAtTheReader_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("readers"); // relative to the root, each with documents/My Clippings.txt
    QTest::addColumn<QString>("expected");    // the dialog's folder; "CWD" for the working folder

    QTest::newRow("the typed file's folder") << "ROOT/in/My Clippings.txt" << QStringList{"media/K"} << "ROOT/in";
    QTest::newRow("a typed folder") << "ROOT/in" << QStringList{"media/K"} << "ROOT/in";
    QTest::newRow("a missing file in an existing folder") << "ROOT/in/none.txt" << QStringList{} << "ROOT/in";
    QTest::newRow("nothing typed: the e-reader") << "" << QStringList{"media/K"} << "ROOT/media/K/documents";
    QTest::newRow("a path that leads nowhere: the e-reader")
        << "/no/such/folder/a.txt" << QStringList{"media/K", "media/L"} << "ROOT/media/K/documents";
    QTest::newRow("nothing at all") << "" << QStringList{} << "CWD";
}

void WindowInputTest::theDialogOpensAtThePathElseAtTheReader()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, readers);
    QFETCH(QString, expected);
    AddFile("in/My Clippings.txt");
    Mount(readers);
    QList<QUrl> readerFolders;
    for (const QString& reader : readers) {
        AddFile(reader + "/documents/My Clippings.txt");
        readerFolders.append(QUrl::fromLocalFile(root_->path() + "/" + reader + "/documents"));
    }
    typed.replace("ROOT", root_->path());
    expected.replace("ROOT", root_->path()).replace("CWD", QDir::currentPath());

    Form1 form(RecordingHooks(record_, root_->path()));
    ControlNamed<QLineEdit>(form, "path")->setText(typed);
    QString folder;
    QString title;
    QStringList filters;
    QList<QUrl> sidebar;
    WhenFileDialogShows([&](QFileDialog& dialog) {
        folder = dialog.directory().absolutePath();
        title = dialog.windowTitle();
        filters = dialog.nameFilters();
        sidebar = dialog.sidebarUrls();
        dialog.reject();
    });
    QTest::mouseClick(ControlNamed<QWidget>(form, "browse"), Qt::LeftButton);

    QCOMPARE(QDir(folder).canonicalPath(), QDir(expected).canonicalPath());
    QCOMPARE(title, QStringLiteral("Locate Kindle's \"My Clippings.txt\" or a Duokan .dkx file"));
    QCOMPARE(filters.size(), 2);
    QVERIFY(filters.front().startsWith("Kindle or Duokan clippings ("));
    QCOMPARE(filters.back(), QStringLiteral("All files (*)"));
    for (const QUrl& reader : readerFolders) {
        QVERIFY2(sidebar.contains(reader), qPrintable(reader.toString()));
    }
    QCOMPARE(ControlNamed<QLineEdit>(form, "path")->text(), typed);
}

void WindowInputTest::everyControlSaysWhatItDoes()
{
    Form1 form(RecordingHooks(record_, root_->path()));
    const QStringList names = {"path",     "browse", "highlights", "notes",  "bookmarks",
                               "keeplocs", "sort",   "go",         "fixANSI"};
    QStringList tips;
    for (const QString& name : names) {
        const QString tip = ControlNamed<QWidget>(form, name.toLatin1().constData())->toolTip();
        QVERIFY2(tip.size() > 15, qPrintable(name));
        QVERIFY2(!tips.contains(tip), qPrintable(name));
        tips.append(tip);
    }
    QVERIFY(ControlNamed<QWidget>(form, "fixANSI")->toolTip().contains("garbled"));
    for (const char* name : {"browse", "go"}) {
        QVERIFY(!ControlNamed<QPushButton>(form, name)->autoDefault());
    }
}

int RunWindowInputTest(int argc, char** argv)
{
    WindowInputTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quillery::test

#include "window_input_test.moc"
