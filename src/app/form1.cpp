#include "app/form1.h"

#include "app/command_line.h"
#include "app/form1_layout.h"
#include "app/path_input.h"
#include "dialogs/ask_file_name.h"
#include "extract/find_device.h"
#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/run_extraction.h"
#include "output/save_export.h"
#include "output/special_folder.h"
#include "util/file_exists.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

#include <array>
#include <exception>
#include <new>
#include <utility>

namespace quillery {

namespace {

constexpr double kControlPointSize = 8.25;
constexpr double kGoPointSize = 13.5;

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, bool on)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(on);
    return box;
}

// Neither button answers Enter or Escape by itself: the window decides.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void FillDefaults(Form1Hooks& hooks)
{
    if (!hooks.baseFolder) {
        hooks.baseFolder = DefaultBaseFolder;
    }
    if (!hooks.showFailure) {
        hooks.showFailure = [](QWidget* window, const QString& message) {
            QMessageBox::critical(window, QStringLiteral("Quillery"), message);
        };
    }
    if (!hooks.showWarning) {
        hooks.showWarning = [](QWidget* window, const QString& message) {
            QMessageBox::warning(window, QStringLiteral("Quillery"), message);
        };
    }
    if (!hooks.showDone) {
        hooks.showDone = [](QWidget* window, const QString& line) {
            QMessageBox::information(window, QStringLiteral("Quillery"), line);
        };
    }
    if (!hooks.openFolder) {
        const bool opens = OpensWrittenFolder({}, qgetenv("QUILLERY_NO_OPEN"));
        hooks.openFolder = [opens](const QUrl& folder) {
            if (opens) {
                QDesktopServices::openUrl(folder);
            }
        };
    }
    if (!hooks.findDevices) {
        hooks.findDevices = [] { return FindDeviceClippings(SessionSearchPlaces()); };
    }
    if (!hooks.endProgram) {
        hooks.endProgram = [](int status) { QCoreApplication::exit(status); };
    }
    if (!hooks.clock) {
        hooks.clock = std::chrono::steady_clock::now;
    }
}

void AcceptIfItCarriesAPath(QDropEvent& event)
{
    if (!DroppedPath(*event.mimeData()).empty()) {
        event.acceptProposedAction();
    }
}

// Pixels kept free between a caption's text and the next control.
constexpr int kCaptionGap = 2;

// The pixels a control's caption needs from the control's left edge: a check
// box's indicator, spacing and text, a label's text, a button's text in its
// frame (a button's text is centred, so it needs no gap).
int CaptionWidth(const QWidget& control)
{
    const QFontMetrics metrics = control.fontMetrics();
    const QStyle& style = *control.style();
    if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        return style.pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
               style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box) +
               metrics.horizontalAdvance(box->text()) + kCaptionGap;
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return metrics.horizontalAdvance(label->text()) + kCaptionGap;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        return metrics.horizontalAdvance(button->text()) +
               2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    }
    return 0;
}

} // namespace

Form1::Form1(Form1Hooks hooks, QWidget* parent) : QWidget(parent), hooks_(std::move(hooks))
{
    FillDefaults(hooks_);
    setWindowTitle(QStringLiteral("Quillery"));
    setWindowIcon(QIcon(QStringLiteral(":/quillery/quillery.png")));
    QFont controlFont = font();
    controlFont.setPointSizeF(kControlPointSize);
    setFont(controlFont);
    CreateControls();
    LayOut();
    ChainFocus();
    AddToolTips();
    AddEncodingMenu();
    setAcceptDrops(true);
    path->installEventFilter(this);
    path->setFocus();
}

void Form1::CreateControls()
{
    path = new QLineEdit(this);
    path->setObjectName(QStringLiteral("path"));
    browse = MakeButton(this, "browse", QStringLiteral("..."));
    Label1 = new QLabel(QStringLiteral("Extract"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    highlights = MakeCheckBox(this, "highlights", QStringLiteral("highlights"), true);
    notes = MakeCheckBox(this, "notes", QStringLiteral("notes"), true);
    bookmarks = MakeCheckBox(this, "bookmarks", QStringLiteral("bookmarks"), false);
    keeplocs = MakeCheckBox(this, "keeplocs", QStringLiteral("keep locations"), false);
    sort = MakeCheckBox(this, "sort", QStringLiteral("sort"), true);
    go = MakeButton(this, "go", QStringLiteral("GO!"));
    QFont goFont = font();
    goFont.setPointSizeF(kGoPointSize);
    goFont.setWeight(QFont::Normal);
    go->setFont(goFont);
    go->setEnabled(false);
    fixANSI = MakeCheckBox(this, "fixANSI", QStringLiteral("fix ANSI"), true);

    connect(path, &QLineEdit::textChanged, this, &Form1::path_Change);
    connect(browse, &QPushButton::clicked, this, &Form1::browse_Click);
    connect(go, &QPushButton::clicked, this, &Form1::go_click);
}

// Places every control from its twips at the screen's logical resolution,
// making room where a caption needs more in this font.
void Form1::LayOut()
{
    std::array<QWidget*, kForm1ControlCount> controls{};
    std::array<int, kForm1ControlCount> captionWidths{};
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        const std::string_view name = kForm1Places[i].name;
        controls[i] = findChild<QWidget*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                                          Qt::FindDirectChildrenOnly);
        captionWidths[i] = CaptionWidth(*controls[i]);
    }
    const Form1Pixels layout = PlaceControls(logicalDpiX(), logicalDpiY(), captionWidths);
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        const PixelRect& place = layout.controls[i];
        controls[i]->setGeometry(place.left, place.top, place.width, place.height);
    }
    setFixedSize(layout.clientWidth, layout.clientHeight);
}

// Tab goes as the eye reads the window: the path row, then the options left
// to right, and "GO!", which acts on all of them, last.
void Form1::ChainFocus()
{
    const std::array<QWidget*, 9> chain = {path, browse, highlights, notes, bookmarks, sort, keeplocs, fixANSI, go};
    for (std::size_t i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

void Form1::AddToolTips()
{
    path->setToolTip(QStringLiteral("The file to read: Kindle's \"My Clippings.txt\", a Duokan .dkx file, or an "
                                    "e-reader's folder. Type, paste or drop it here."));
    browse->setToolTip(QStringLiteral("Choose the file to read"));
    highlights->setToolTip(QStringLiteral("Keep the passages you highlighted"));
    notes->setToolTip(QStringLiteral("Keep the notes you typed"));
    bookmarks->setToolTip(QStringLiteral("Keep the bookmarks, as the place each one marks"));
    keeplocs->setToolTip(QStringLiteral("Begin each highlight and note with its location instead of \u2026"));
    sort->setToolTip(QStringLiteral("Put each book's entries in the order of their places in the book"));
    go->setToolTip(QStringLiteral("Write one text file per book into a new \"My Clippings\" folder on the desktop"));
    fixANSI->setToolTip(QStringLiteral("Repair accents and quotes that were garbled before they reached the device"));
}

// The window's context menu offers the two encodings, one of them ticked.
void Form1::AddFormatMenu()
{
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    auto* group = new QActionGroup(this);
    const std::pair<OutputFormat, QString> formats[] = {
        {OutputFormat::classic, QStringLiteral("Classic book files and all.htm")},
        {OutputFormat::markdown, QStringLiteral("Markdown for notes apps")},
        {OutputFormat::html, QStringLiteral("A reading page (HTML)")},
        {OutputFormat::csv, QStringLiteral("CSV for spreadsheets")},
        {OutputFormat::json, QStringLiteral("JSON")},
    };
    for (const auto& [format, text] : formats) {
        QAction* action = group->addAction(text);
        action->setCheckable(true);
        // Kept in its place, so the actions stay numbered by format.
        action->setVisible(FormatBuilt(format));
        addAction(action);
        connect(action, &QAction::triggered, this, [this, f = format] { format_ = f; });
        formatActions_.push_back(action);
    }
    setFormat(format_);
}

void Form1::setFormat(OutputFormat format)
{
    format_ = format;
    formatAction(format)->setChecked(true);
}

QAction* Form1::formatAction(OutputFormat format) const
{
    return formatActions_.at(static_cast<std::size_t>(format));
}

void Form1::AddEncodingMenu()
{
    auto* group = new QActionGroup(this);
    utf8Action_ = group->addAction(QStringLiteral("Write UTF-8"));
    windows1252Action_ = group->addAction(QStringLiteral("Write Windows-1252"));
    for (QAction* action : group->actions()) {
        action->setCheckable(true);
        addAction(action);
    }
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setEncoding(encoding_);
    connect(utf8Action_, &QAction::triggered, this, [this] { encoding_ = TextEncoding::utf8; });
    connect(windows1252Action_, &QAction::triggered, this, [this] { encoding_ = TextEncoding::windows1252; });
    AddFormatMenu();
}

void Form1::setEncoding(TextEncoding encoding)
{
    encoding_ = encoding;
    encodingAction(encoding)->setChecked(true);
}

QAction* Form1::encodingAction(TextEncoding encoding) const
{
    return encoding == TextEncoding::utf8 ? utf8Action_ : windows1252Action_;
}

void Form1::Form_Load(const std::u16string& argumentText)
{
    const std::u16string inputPath = ArgumentPath(argumentText);
    if (inputPath.empty()) {
        // With several e-readers the user chooses one in the dialog.
        const std::vector<std::u16string> devices = hooks_.findDevices();
        if (devices.size() == 1) {
            path->setText(QString::fromStdU16String(devices.front()));
        }
        return;
    }
    path->setText(QString::fromStdU16String(inputPath));
    // A named path enables "GO!" even when it names nothing: the run reports that.
    SetGoEnabled(true);
}

void Form1::browse_Click()
{
    const std::vector<std::u16string> devices = hooks_.findDevices();
    std::u16string startFolder = DialogStartFolder(InputPath(), devices);
    if (!startFolder.empty() && startFolder.back() != u'/') {
        startFolder += u'/';
    }
    const std::u16string chosen = AskFileName(0, u"Locate Kindle's \"My Clippings.txt\" or a Duokan .dkx file",
                                              u"Kindle or Duokan clippings|My clippings.txt;*.dkx|All files|*",
                                              startFolder, false, true, 0, DeviceFolders(devices));
    // A cancelled dialog gives "", several files "folder|a|b": neither exists.
    if (FileExists(chosen)) {
        path->setText(QString::fromStdU16String(chosen));
        SetGoEnabled(true);
    }
}

void Form1::path_Change()
{
    SetGoEnabled(NamesInput(InputPath()));
}

std::u16string Form1::InputPath() const
{
    return TypedPath(pathText());
}

void Form1::go_click()
{
    if (running_) {
        return;
    }
    running_ = true;
    go->setEnabled(false);
    const int status = RunOnce();
    lastRunFailed_ = status != kWindowRunDone;
    if (lastRunFailed_) {
        KeepForAnotherRun();
        return;
    }
    hooks_.endProgram(status);
}

void Form1::KeepForAnotherRun()
{
    // The failed run wrote nothing; what it read goes with it.
    store_ = ClipStore();
    running_ = false;
    closedDuringRun_ = false;
    setWindowTitle(QStringLiteral("Quillery"));
    path_Change();
}

int Form1::exitStatusOnClose() const
{
    return lastRunFailed_ ? kWindowRunFailed : kWindowRunDone;
}

int Form1::RunOnce()
{
    WindowFrontEnd frontEnd(*this, hooks_.clock, hooks_.onCaption);
    try {
        RunRequest request{ResolveInputPath(InputPath()), encoding_, hooks_.baseFolder()};
        request.format = format_;
        request.clean = format_ != OutputFormat::classic;
        const RunOutcome outcome = RunExtraction(request, store_, frontEnd);
        if (!outcome.warning.empty()) {
            hooks_.showWarning(this, QString::fromUtf8(outcome.warning));
        }
        hooks_.showDone(this, QString::fromStdString(OutcomeLine(outcome)) + QStringLiteral(" written to \"") +
                                  QString::fromStdU16String(outcome.folder) + u'"');
        hooks_.openFolder(QUrl::fromLocalFile(QString::fromStdU16String(outcome.folder)));
        return kWindowRunDone;
    } catch (const RunAbandoned&) {
        // The window was closed before the writing began: nothing was written.
        return kWindowRunDone;
    } catch (...) {
        hooks_.showFailure(this, QString::fromStdString(CurrentFailureMessage()));
    }
    return kWindowRunFailed;
}

QCheckBox* Form1::optionBox(ExtractOption option) const
{
    switch (option) {
    case ExtractOption::highlights:
        return highlights;
    case ExtractOption::notes:
        return notes;
    case ExtractOption::bookmarks:
        return bookmarks;
    case ExtractOption::sort:
        return sort;
    case ExtractOption::keeplocs:
        return keeplocs;
    case ExtractOption::fixANSI:
        return fixANSI;
    }
    return nullptr;
}

std::u16string Form1::pathText() const
{
    return path->text().toStdU16String();
}

void Form1::SetGoEnabled(bool enabled)
{
    go->setEnabled(enabled && !running_);
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A run under way notices this at its next yield.
    if (running_) {
        closedDuringRun_ = true;
    }
    event->accept();
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (focusWidget() == browse) {
        browse->click();
    } else if (go->isEnabled()) {
        go->click();
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptIfItCarriesAPath(*event);
}

void Form1::dropEvent(QDropEvent* event)
{
    const std::u16string dropped = DroppedPath(*event->mimeData());
    if (dropped.empty()) {
        return;
    }
    path->setText(QString::fromStdU16String(dropped));
    event->acceptProposedAction();
}

// The path box takes a drop as the whole path, not as text put in at the cursor.
bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == path) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            AcceptIfItCarriesAPath(*static_cast<QDropEvent*>(event));
            return true;
        case QEvent::Drop:
            dropEvent(static_cast<QDropEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quillery
