#include "dialogs/ask_file_name.h"
#include "dialogs/file_dialog_setup.h"
#include "window_test_support.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>
#include <QTest>

namespace quillery::test {

namespace {

// The program's one call of AskFileName.
std::u16string AskForClippings()
{
    return AskFileName(0, u"Please locate Kindle's clippings file..", u"Kindle clippings|My clippings.txt;*.dkx", u"",
                       false, true, 0);
}

// The patterns of a name filter "Description (p1 p2)".
QStringList PatternsOf(const std::u16string& nameFilter)
{
    const QString filter = QString::fromStdU16String(nameFilter);
    const qsizetype open = filter.lastIndexOf(QLatin1String(" ("));
    return filter.mid(open + 2).chopped(1).split(u' ', Qt::SkipEmptyParts);
}

bool AnyPatternMatches(const QStringList& patterns, const QString& name)
{
    for (const QString& pattern : patterns) {
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(name).hasMatch()) {
            return true;
        }
    }
    return false;
}

// The names the dialog lists in its current folder, once it has read it.
QStringList ListedNames(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QListView*>("listView");
    QStringList names;
    QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        names.append(model->index(row, 0, view->rootIndex()).data().toString());
    }
    names.sort();
    return names;
}

} // namespace

class FileDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    // The pure parts
    void flagsAddTheModeTheSwitchesAndTheFixedFlags();
    void flagsSayHowTheDialogBehaves();
    void initialNameSplitsAtItsLastSeparator();
    void filterListBecomesNameFilters();
    void clippingsFilterFindsTheDevicesNamesInAnyCase();
    void chosenFilesBecomeOneString();

    // The dialog itself
    void theProgramsCallListsTheClippingsAndReturnsTheChosenFiles();
    void aCancelledDialogGivesNothingAndNoMessage();
    void aLongNameComesBackWhole();
    void theModeChoosesOpenOrSave_data();
    void theModeChoosesOpenOrSave();
    void aModeWithoutDialogShowsTheFailure();

  private:
    QStringList failures_;
    QStringList createQuestions_;
    QString savedCurrentDir_;
};

void FileDialogTest::init()
{
    failures_.clear();
    createQuestions_.clear();
    fileDialogPrompts().showFailure = [this](const QString& text) { failures_.append(text); };
    fileDialogPrompts().confirmCreate = [this](const QString& path) {
        createQuestions_.append(path);
        return true;
    };
    savedCurrentDir_ = QDir::currentPath();
}

void FileDialogTest::cleanup()
{
    fileDialogPrompts() = {};
    QDir::setCurrent(savedCurrentDir_);
}

void FileDialogTest::flagsAddTheModeTheSwitchesAndTheFixedFlags()
{
    struct Case {
        std::int32_t mode;
        bool showReadOnly;
        bool multiSelect;
        std::uint32_t flags;
        std::uint32_t expected;
    };
    const Case table[] = {
        {0, false, true, 0, 0x381A04}, // the program's call
        {0, true, false, 0, 0x381800},  {1, false, false, 0, 0x383804},   {2, false, false, 0, 0x280804},
        {3, false, false, 0, 0x280806}, {3, true, false, 0x10, 0x280812}, {7, false, false, 0, 0x4},
        {-1, true, true, 0x8, 0x208},
    };
    for (const Case& c : table) {
        QCOMPARE(DialogFlags(c.mode, c.showReadOnly, c.multiSelect, c.flags), c.expected);
    }
}

void FileDialogTest::flagsSayHowTheDialogBehaves()
{
    struct Case {
        std::int32_t mode;
        bool multiSelect;
        bool save;
        bool multiple;
        bool mustExist;
        bool createPrompt;
        bool overwritePrompt;
        bool followLinks;
    };
    const Case table[] = {
        {0, true, false, true, true, false, false, false},  {0, false, false, false, true, false, false, false},
        {1, true, false, false, false, true, false, false}, {2, true, false, false, false, false, false, true},
        {3, false, true, false, false, false, true, true},
    };
    for (const Case& c : table) {
        const DialogBehaviour b =
            BehaviourOfFlags(DialogKindOfMode(c.mode), DialogFlags(c.mode, false, c.multiSelect, 0));
        const QByteArray where = "mode " + QByteArray::number(c.mode);
        QVERIFY2(b.multiSelect == c.multiple && b.fileMustExist == c.mustExist && b.createPrompt == c.createPrompt &&
                     b.overwritePrompt == c.overwritePrompt && b.followLinks == c.followLinks,
                 where.constData());
        QCOMPARE(b.save, c.mode >= 2);
    }
}

void FileDialogTest::initialNameSplitsAtItsLastSeparator()
{
    struct Case {
        std::u16string initialName;
        std::u16string folder;
        std::u16string fileName;
        std::u16string extension;
    };
    const Case table[] = {
        {u"", u"", u"", u""},
        {u"/home/me/notes.txt", u"/home/me/", u"notes.txt", u"txt"},
        {u"notes.txt", u"", u"notes.txt", u"txt"},
        {u"/home/me/README", u"/home/me/", u"README", u""},
        {u"/home/my.folder/README", u"/home/my.folder/", u"README", u""},
        {u"/home/me/archive.tar.gz", u"/home/me/", u"archive.tar.gz", u"gz"},
        {u"/home/me/", u"/home/me/", u"", u""},
    };
    for (const Case& c : table) {
        const InitialName parts = SplitInitialName(c.initialName);
        QCOMPARE(parts.folder, c.folder);
        QCOMPARE(parts.fileName, c.fileName);
        QCOMPARE(parts.defaultExtension, c.extension);
    }
}

void FileDialogTest::filterListBecomesNameFilters()
{
    using Filters = std::vector<std::u16string>;
    const std::pair<std::u16string, Filters> table[] = {
        {u"Kindle clippings|My clippings.txt;*.dkx",
         {u"Kindle clippings ([Mm][Yy]?[Cc][Ll][Ii][Pp][Pp][Ii][Nn][Gg][Ss].[Tt][Xx][Tt] *.[Dd][Kk][Xx])"}},
        {u"", {u"All Files (*.*) (*)"}},
        {u"Text|*.txt|All|*.*", {u"Text (*.[Tt][Xx][Tt])", u"All (*)"}},
        {u"Text|*.txt|Orphan", {u"Text (*.[Tt][Xx][Tt])"}},
        {u"Odd|a[1].txt; ;7", {u"Odd ([Aa][[]1].[Tt][Xx][Tt] 7)"}},
    };
    for (const auto& [filter, expected] : table) {
        QVERIFY2(NameFilters(filter) == expected, QString::fromStdU16String(filter).toUtf8().constData());
    }
}

void FileDialogTest::clippingsFilterFindsTheDevicesNamesInAnyCase()
{
    const QStringList patterns = PatternsOf(NameFilters(u"Kindle clippings|My clippings.txt;*.dkx").front());
    const std::pair<const char*, bool> table[] = {
        {"My Clippings.txt", true},
        {"my clippings.txt", true},
        {"MY CLIPPINGS.TXT", true},
        {"NOTES.DKX", true},
        {"a.Dkx", true},
        {"b.dkx", true},
        {"Clippings.txt", false},
        {"My Clippings.txt.bak", false},
        {"notes.dkx.txt", false},
        {"x.dk", false},
    };
    for (const auto& [name, found] : table) {
        QVERIFY2(AnyPatternMatches(patterns, QString::fromLatin1(name)) == found, name);
    }
}

void FileDialogTest::chosenFilesBecomeOneString()
{
    const std::u16string longName = u"/home/me/" + std::u16string(300, u'x') + u".txt";
    using Paths = std::vector<std::u16string>;
    const std::pair<Paths, std::u16string> table[] = {
        {{}, u""},
        {{u"/home/me/My Clippings.txt"}, u"/home/me/My Clippings.txt"},
        {{u"/home/me/a.txt", u"/home/me/b.txt"}, u"/home/me|a.txt|b.txt"},
        {{u"/a.txt", u"/b.txt"}, u"/|a.txt|b.txt"},
        {{u"/home/me/name "}, u"/home/me/name"},
        {{longName}, longName},
    };
    for (const auto& [paths, expected] : table) {
        QCOMPARE(SelectionResult(paths), expected);
    }
}

void FileDialogTest::theProgramsCallListsTheClippingsAndReturnsTheChosenFiles()
{
    QTemporaryDir folder;
    for (const char* name : {"My Clippings.txt", "NOTES.DKX", "a.Dkx", "other.txt", "My Clippings.txt.bak"}) {
        WriteFile(folder.path(), name, "");
    }
    QVERIFY(QDir::setCurrent(folder.path()));
    QStringList listed;
    WhenFileDialogShows([&](QFileDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Please locate Kindle's clippings file.."));
        QCOMPARE(dialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFiles);
        QCOMPARE(dialog.nameFilters().size(), 1);
        QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Kindle clippings"));
        QTRY_COMPARE(ListedNames(dialog).size(), 3);
        listed = ListedNames(dialog);
        TypeFileNames(dialog, R"("My Clippings.txt" "a.Dkx")");
        AcceptDialog(dialog);
    });
    const std::u16string chosen = AskForClippings();

    QCOMPARE(listed, (QStringList{"My Clippings.txt", "NOTES.DKX", "a.Dkx"}));
    QCOMPARE(QString::fromStdU16String(chosen), folder.path() + "|My Clippings.txt|a.Dkx");
    QCOMPARE(failures_, QStringList());
}

void FileDialogTest::aCancelledDialogGivesNothingAndNoMessage()
{
    WhenFileDialogShows([](QFileDialog& dialog) { dialog.reject(); });
    QCOMPARE(AskForClippings(), u"");
    QCOMPARE(failures_, QStringList());
}

void FileDialogTest::aLongNameComesBackWhole()
{
    QTemporaryDir folder;
    QString deep = folder.path();
    for (int level = 0; level < 3; ++level) {
        deep += "/" + QString(100, QLatin1Char('d'));
        QVERIFY(QDir().mkpath(deep));
    }
    const QString file = WriteFile(deep, "My Clippings.txt", "");
    QVERIFY(file.size() > 300);
    WhenFileDialogShows([&](QFileDialog& dialog) {
        dialog.setDirectory(deep);
        TypeFileNames(dialog, "My Clippings.txt");
        AcceptDialog(dialog);
    });
    QCOMPARE(QString::fromStdU16String(AskForClippings()), file);
}

void FileDialogTest::theModeChoosesOpenOrSave_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("confirmOverwrite");
    QTest::addColumn<bool>("askedToCreate");

    QTest::newRow("0 open") << 0 << "kept.txt" << false << true << false;
    QTest::newRow("1 open or create") << 1 << "new.txt" << false << true << true;
    QTest::newRow("2 save") << 2 << "new.txt" << true << false << false;
    QTest::newRow("3 save, asking to overwrite") << 3 << "new.txt" << true << true << false;
}

void FileDialogTest::theModeChoosesOpenOrSave()
{
    QFETCH(int, mode);
    QFETCH(QString, typedName);
    QFETCH(bool, save);
    QFETCH(bool, confirmOverwrite);
    QFETCH(bool, askedToCreate);
    QTemporaryDir folder;
    WriteFile(folder.path(), "kept.txt", "");
    const QString expected = folder.path() + "/" + typedName;
    WhenFileDialogShows([&](QFileDialog& dialog) {
        QCOMPARE(dialog.acceptMode() == QFileDialog::AcceptSave, save);
        QCOMPARE(!dialog.testOption(QFileDialog::DontConfirmOverwrite), confirmOverwrite);
        // The initial name gives the folder, the name and the default extension.
        QCOMPARE(dialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
        QCOMPARE(dialog.findChild<QLineEdit*>("fileNameEdit")->text(), QStringLiteral("kept.txt"));
        QCOMPARE(dialog.defaultSuffix(), QStringLiteral("txt"));
        TypeFileNames(dialog, typedName);
        AcceptDialog(dialog);
    });
    const std::u16string chosen =
        AskFileName(mode, u"Title", u"Text|*.txt", U16(folder.path() + "/kept.txt"), false, false, 0);

    QCOMPARE(QString::fromStdU16String(chosen), expected);
    QCOMPARE(createQuestions_, askedToCreate ? QStringList{expected} : QStringList());
}

void FileDialogTest::aModeWithoutDialogShowsTheFailure()
{
    QCOMPARE(AskFileName(7, u"Title", u"", u"", false, false, 0), u"");
    QCOMPARE(failures_, QStringList{"Unable to get filename(s).\n\nThere is no file dialog for mode 7."});
}

int RunFileDialogTest(int argc, char** argv)
{
    FileDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quillery::test

#include "file_dialog_test.moc"
