#include "app/form1.h"

#include "app/command_line.h"
#include "app/form1_layout.h"
#include "dialogs/ask_file_name.h"
#include "extract/front_end.h"
#include "output/run_extraction.h"
#include "extract/run_error.h"
#include "output/special_folder.h"
#include "util/file_exists.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

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

// Neither button answers Enter or Escape.
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
    if (!hooks.endProgram) {
        hooks.endProgram = [](int status) { QCoreApplication::exit(status); };
    }
    if (!hooks.clock) {
        hooks.clock = std::chrono::steady_clock::now;
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
    AddEncodingMenu();
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
// making room where a caption needs more in this font, and chains the
// controls that take focus in the table's tab order.
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
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        const PixelRect& place = layout.controls[i];
        controls[i]->setGeometry(place.left, place.top, place.width, place.height);
        if (controls[i]->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, controls[i]);
        }
        previous = controls[i];
    }
    setFixedSize(layout.clientWidth, layout.clientHeight);
}

// The window's context menu offers the two encodings, one of them ticked.
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
        return;
    }
    path->setText(QString::fromStdU16String(inputPath));
    // A named path enables "GO!" even when it names nothing: the run reports that.
    SetGoEnabled(true);
}

void Form1::browse_Click()
{
    const std::u16string chosen = AskFileName(0, u"Please locate Kindle's clippings file..",
                                              u"Kindle clippings|My clippings.txt;*.dkx", u"", false, true, 0);
    // A cancelled dialog gives "", several files "folder|a|b": neither exists.
    if (FileExists(chosen)) {
        path->setText(QString::fromStdU16String(chosen));
        SetGoEnabled(true);
    }
}

void Form1::path_Change()
{
    SetGoEnabled(FileExists(pathText()));
}

void Form1::go_click()
{
    // The store serves one run per program start.
    if (running_) {
        return;
    }
    running_ = true;
    go->setEnabled(false);
    hooks_.endProgram(RunOnce());
}

int Form1::RunOnce()
{
    WindowFrontEnd frontEnd(*this, hooks_.clock, hooks_.onCaption);
    try {
        const RunRequest request{pathText(), encoding_, hooks_.baseFolder()};
        const RunOutcome outcome = RunExtraction(request, store_, frontEnd);
        if (!outcome.warning.empty()) {
            hooks_.showWarning(this, QString::fromUtf8(outcome.warning));
        }
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

} // namespace quillery
