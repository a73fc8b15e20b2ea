#include "ui/qt/control_view.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <type_traits>
#include <utility>

#include "ui/qt/event_loop.h"

namespace ui::qt::detail {
namespace {

// The gauge's steps: fine enough for a smooth bar, whole numbers for Qt.
constexpr int kLevelSteps = 10000;
constexpr int kLedSize = 14;
constexpr int kNumberDigits = 12;
constexpr int kNoEntryLimit = 32767;  // QLineEdit's own maximum length

bool IsLineEdit(int kind) { return kind == CTRL_NUMERIC || kind == CTRL_NUMERIC_INT || kind == CTRL_STRING; }

QString Text(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString TextBoxText(const model::Control &c) {
    QStringList lines;
    for (const std::string &line : c.lines) lines << Text(line);
    QString text = lines.join(QLatin1Char('\n'));
    if (c.lineOpen) text += QLatin1Char('\n');
    return text;
}

int LevelPosition(const model::Control &c) {
    const double span = c.maxValue - c.minValue;
    if (!(span > 0.0)) return 0;
    const double share = (c.numeric - c.minValue) / span;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kLevelSteps));
}

// Keeps the items of a ring or list as the model has them; true when
// they were rebuilt.
template <class Widget>
void ShowItems(Widget *w, const model::Control &c) {
    bool same = w->count() == static_cast<int>(c.items.size());
    for (int i = 0; same && i < w->count(); ++i) {
        const QString label = Text(c.items[static_cast<std::size_t>(i)].label);
        if constexpr (std::is_same_v<Widget, QComboBox>)
            same = w->itemText(i) == label;
        else
            same = w->item(i)->text() == label;
    }
    if (same) return;
    w->clear();
    for (const model::ListItem &item : c.items) w->addItem(Text(item.label));
    // A list's size follows its items.
    w->updateGeometry();
}

// A number field as wide as a number with all its digits, not the wider
// default of a text field: panels of many numbers stay compact.
class NumberEdit : public QLineEdit {
public:
    explicit NumberEdit(QWidget *parent) : QLineEdit(parent) {
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * kNumberDigits);
    }
    QSize sizeHint() const override { return QSize(minimumWidth(), QLineEdit::sizeHint().height()); }
};

// A list as large as its items (a few rows at least, a dozen at most)
// rather than Qt's fixed default.
class ListBox : public QListWidget {
public:
    using QListWidget::QListWidget;
    QSize sizeHint() const override {
        constexpr int kMinRows = 4, kMaxRows = 12, kMinChars = 10;
        const int rows = std::clamp(count(), kMinRows, kMaxRows);
        const int rowHeight = count() > 0 ? std::max(sizeHintForRow(0), 1) : fontMetrics().height() + 2;
        const int textWidth =
            std::max(sizeHintForColumn(0), fontMetrics().horizontalAdvance(QLatin1Char('M')) * kMinChars);
        const int scrollBar = count() > kMaxRows ? verticalScrollBar()->sizeHint().width() : 0;
        return QSize(textWidth + scrollBar + 2 * frameWidth() + 4, rows * rowHeight + 2 * frameWidth());
    }
};

// Sends the text-box's contents to the model when the operator leaves it.
class FocusOutFilter : public QObject {
public:
    FocusOutFilter(QObject *parent, std::function<void()> onLeave) : QObject(parent), onLeave_(std::move(onLeave)) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::FocusOut) onLeave_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onLeave_;
};

}  // namespace

QString ButtonText(const std::string &label) {
    QString text = Text(label);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

QColor Rgb(int rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

ControlView::ControlView(int panel, const model::Control &control, QWidget *parent)
    : panel_(panel),
      number_(control.number),
      kind_(control.kind),
      drawTokens_(kDrawBurst),
      refilled_(std::chrono::steady_clock::now()) {
    if (kind_ == CTRL_TIMER) return;
    Build(parent);
    Connect();
    Update(control);
}

ControlView::~ControlView() {
    for (const QMetaObject::Connection &c : connections_) QObject::disconnect(c);
    if (filter_ && widget_) widget_->removeEventFilter(filter_);
}

void ControlView::Build(QWidget *parent) {
    switch (kind_) {
    case CTRL_NUMERIC:
    case CTRL_NUMERIC_INT: {
        widget_ = new NumberEdit(parent);
        break;
    }
    case CTRL_STRING: widget_ = new QLineEdit(parent); break;
    case CTRL_TEXT_MSG: {
        auto *text = new QLabel(parent);
        // Instrument names come from the wire: never read them as markup.
        text->setTextFormat(Qt::PlainText);
        text->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        text->setMinimumHeight(text->fontMetrics().height() + 6);
        widget_ = text;
        break;
    }
    case CTRL_TEXT_BOX: widget_ = new QPlainTextEdit(parent); break;
    case CTRL_COMMAND_BUTTON: {
        auto *button = new QPushButton(parent);
        button->setAutoDefault(false);
        widget_ = button;
        break;
    }
    case CTRL_RING: widget_ = new QComboBox(parent); break;
    case CTRL_LIST_BOX: widget_ = new ListBox(parent); break;
    case CTRL_RADIO_BUTTON: widget_ = new QRadioButton(parent); break;
    case CTRL_BINARY_SWITCH: widget_ = new QCheckBox(parent); break;
    case CTRL_LEVEL_INDICATOR: {
        auto *bar = new QProgressBar(parent);
        bar->setRange(0, kLevelSteps);
        bar->setTextVisible(true);
        bar->setMinimumWidth(200);
        widget_ = bar;
        break;
    }
    case CTRL_LED: {
        auto *led = new QLabel(parent);
        led->setFixedSize(kLedSize, kLedSize);
        widget_ = led;
        break;
    }
    default: widget_ = new QLabel(parent); break;
    }
    if (auto *radio = qobject_cast<QRadioButton *>(widget_)) radio->setAutoExclusive(false);
    const bool ownText = kind_ == CTRL_COMMAND_BUTTON || kind_ == CTRL_RADIO_BUTTON || kind_ == CTRL_BINARY_SWITCH;
    if (!ownText) {
        label_ = new QLabel(parent);
        label_->setTextFormat(Qt::PlainText);
        label_->setBuddy(widget_);
    }
}

void ControlView::Connect() {
    if (kind_ == CTRL_COMMAND_BUTTON) {
        connections_.push_back(QObject::connect(static_cast<QPushButton *>(widget_), &QPushButton::clicked, widget_,
                                                [this] { OperatorCommit(panel_, number_); }));
    } else if (IsLineEdit(kind_)) {
        connections_.push_back(QObject::connect(static_cast<QLineEdit *>(widget_), &QLineEdit::editingFinished, widget_,
                                                [this] { TextEdited(); }));
    } else if (kind_ == CTRL_RING) {
        connections_.push_back(
            QObject::connect(static_cast<QComboBox *>(widget_), &QComboBox::activated, widget_,
                             [this](int index) { CommitIfHot(model::UserSelectIndex(panel_, number_, index)); }));
    } else if (kind_ == CTRL_LIST_BOX) {
        // Programmatic changes block the signals, so this is the operator.
        connections_.push_back(QObject::connect(static_cast<QListWidget *>(widget_), &QListWidget::currentRowChanged,
                                                widget_, [this](int row) {
                                                    if (row >= 0)
                                                        CommitIfHot(model::UserSelectIndex(panel_, number_, row));
                                                }));
    } else if (kind_ == CTRL_RADIO_BUTTON || kind_ == CTRL_BINARY_SWITCH) {
        connections_.push_back(
            QObject::connect(static_cast<QAbstractButton *>(widget_), &QAbstractButton::clicked, widget_,
                             [this](bool on) { CommitIfHot(model::UserInput(panel_, number_, on ? 1 : 0)); }));
    } else if (kind_ == CTRL_TEXT_BOX) {
        auto *box = static_cast<QPlainTextEdit *>(widget_);
        filter_ = new FocusOutFilter(box, [this, box] {
            if (!box->document()->isModified()) return;
            box->document()->setModified(false);
            const QByteArray text = box->toPlainText().toUtf8();
            CommitIfHot(model::UserInput(panel_, number_, text.constData()));
        });
        box->installEventFilter(filter_);
    }
}

void ControlView::TextEdited() {
    auto *edit = static_cast<QLineEdit *>(widget_);
    if (!edit->isModified()) return;
    edit->setModified(false);
    CommitIfHot(model::UserText(panel_, number_, edit->text().toStdString()));
}

void ControlView::CommitIfHot(model::UserResult input) {
    // What the operator did shows at once, whatever the program drew before.
    FlushPending();
    if (input != model::UserResult::Delivered) {
        Resync();
        return;
    }
    // The value-changed callback may have discarded the panel.
    const model::Control *c = model::FindControl(panel_, number_);
    if (c && c->mode == VAL_HOT) OperatorCommit(panel_, number_);
}

void ControlView::Changed() {
    if (pending_) return;  // drawn when the held-back change is
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - refilled_).count();
    drawTokens_ = std::min(kDrawBurst, drawTokens_ + elapsed * kDrawsPerSecond);
    refilled_ = now;
    if (!widget_ || drawTokens_ >= 1.0) {
        drawTokens_ = std::max(0.0, drawTokens_ - 1.0);
        Draw();
        return;
    }
    pending_ = true;
    const int waitMs = static_cast<int>(std::ceil((1.0 - drawTokens_) * 1000.0 / kDrawsPerSecond));
    // The widget goes with its control view, and the timer with the widget.
    QTimer::singleShot(std::max(1, waitMs), widget_, [this] { FlushPending(); });
}

void ControlView::FlushPending() {
    if (!pending_) return;
    pending_ = false;
    Draw();
}

void ControlView::Draw() { Resync(); }

void ControlView::Resync() {
    if (const model::Control *c = model::FindControl(panel_, number_)) Update(*c);
}

void ControlView::Update(const model::Control &c) {
    if (!widget_) return;
    ShowValue(c);
    ShowLabel(c);
    ShowMode(c);
    ShowColours(c);
    widget_->setEnabled(!c.dimmed);
    if (label_) label_->setEnabled(!c.dimmed);
    const bool hidden = !c.visible;
    if (widget_->isHidden() != hidden) widget_->setVisible(!hidden);
    if (label_) {
        const bool labelHidden = hidden || c.label.empty();
        if (label_->isHidden() != labelHidden) label_->setVisible(!labelHidden);
    }
    // Painted now, not when the event loop next turns: the program may be
    // busy on this thread for a while (pages of an upgrade).
    if (widget_->isVisible()) {
        widget_->repaint();
        if (kind_ == CTRL_LEVEL_INDICATOR) FlushPaint();
    }
}

void ControlView::ShowValue(const model::Control &c) {
    switch (kind_) {
    case CTRL_NUMERIC:
    case CTRL_NUMERIC_INT:
    case CTRL_STRING: {
        auto *edit = static_cast<QLineEdit *>(widget_);
        // The operator types no more than the field holds.
        if (kind_ == CTRL_STRING) edit->setMaxLength(c.maxEntryLength >= 0 ? c.maxEntryLength : kNoEntryLimit);
        const QString text = kind_ == CTRL_STRING ? Text(c.text) : Text(model::FieldText(c));
        if (edit->text() != text) edit->setText(text);
        edit->setModified(false);
        break;
    }
    case CTRL_TEXT_MSG: {
        auto *label = static_cast<QLabel *>(widget_);
        const QString text = Text(c.text);
        if (label->text() != text) label->setText(text);
        break;
    }
    case CTRL_TEXT_BOX: {
        auto *box = static_cast<QPlainTextEdit *>(widget_);
        const QString text = TextBoxText(c);
        if (box->toPlainText() != text) {
            box->setPlainText(text);
            box->moveCursor(QTextCursor::End);
        }
        box->document()->setModified(false);
        break;
    }
    case CTRL_RING: {
        auto *ring = static_cast<QComboBox *>(widget_);
        const QSignalBlocker block(ring);
        ShowItems(ring, c);
        ring->setCurrentIndex(c.index);
        break;
    }
    case CTRL_LIST_BOX: {
        auto *list = static_cast<QListWidget *>(widget_);
        const QSignalBlocker block(list);
        ShowItems(list, c);
        list->setCurrentRow(c.index);
        break;
    }
    case CTRL_RADIO_BUTTON:
    case CTRL_BINARY_SWITCH: {
        auto *button = static_cast<QAbstractButton *>(widget_);
        const QSignalBlocker block(button);
        button->setChecked(c.numeric != 0.0);
        break;
    }
    case CTRL_LEVEL_INDICATOR: {
        auto *bar = static_cast<QProgressBar *>(widget_);
        bar->setFormat(QString::number(c.numeric, 'f', c.precision));
        bar->setValue(LevelPosition(c));
        break;
    }
    case CTRL_LED: {
        const bool on = c.numeric != 0.0;
        static_cast<QLabel *>(widget_)->setStyleSheet(
            QStringLiteral("background-color: %1; border: 1px solid #404040; border-radius: %2px;")
                .arg(on ? QStringLiteral("#20c020") : QStringLiteral("#305030"))
                .arg(kLedSize / 2));
        break;
    }
    default: break;
    }
}

void ControlView::ShowLabel(const model::Control &c) {
    const QString text = Text(c.label);
    if (label_) {
        if (label_->text() != text) label_->setText(text);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget_)) {
        const QString shown = kind_ == CTRL_COMMAND_BUTTON ? ButtonText(c.label) : text;
        if (button->text() != shown) button->setText(shown);
    }
}

void ControlView::ShowMode(const model::Control &c) {
    if (c.mode == mode_) return;
    mode_ = c.mode;
    // An indicator shows a value; the operator can neither press nor edit it.
    const bool indicator = c.mode == VAL_INDICATOR;
    if (auto *edit = qobject_cast<QLineEdit *>(widget_)) {
        edit->setReadOnly(indicator);
        edit->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
    } else if (auto *box = qobject_cast<QPlainTextEdit *>(widget_)) {
        box->setReadOnly(indicator);
        box->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
    } else if (kind_ != CTRL_TEXT_MSG && kind_ != CTRL_LEVEL_INDICATOR && kind_ != CTRL_LED) {
        widget_->setAttribute(Qt::WA_TransparentForMouseEvents, indicator);
        widget_->setFocusPolicy(indicator ? Qt::NoFocus : Qt::StrongFocus);
        if (indicator && widget_->hasFocus()) widget_->clearFocus();
    }
}

void ControlView::ShowColours(const model::Control &c) {
    QPalette palette = widget_->parentWidget() ? widget_->parentWidget()->palette() : widget_->palette();
    const QColor text = Rgb(c.textColor);
    // The disabled group keeps its grey: a dimmed control looks dimmed.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, text);
    // A field the operator cannot edit looks like a display, not an input.
    if (c.mode == VAL_INDICATOR && (IsLineEdit(kind_) || kind_ == CTRL_TEXT_BOX))
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Window));
    if (widget_->palette() != palette) widget_->setPalette(palette);
}

}  // namespace ui::qt::detail
