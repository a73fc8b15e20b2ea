#include "ui/qt/panel_view.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "ui/qt/event_loop.h"

namespace ui::qt::detail {
namespace {

// Controls whose spans overlap by more than this share a column.
constexpr int kOverlap = 10;
constexpr int kColumnGap = 20;
constexpr int kRowGap = 10;
constexpr int kLabelGap = 12;
// How long showing a window waits for the window system to put it up.
constexpr int kExposeWaitMs = 300;
constexpr int kCloseRetryMs = 2;

bool ByPlacement(const model::Control *a, const model::Control *b) {
    if (a->top != b->top) return a->top < b->top;
    return a->left < b->left;
}

}  // namespace

PanelView::PanelView(int handle, QWidget *parentWindow) : QWidget(parentWindow, Qt::Window), handle_(handle) {
    auto *root = new QVBoxLayout(this);
    columnsLayout_ = new QHBoxLayout;
    columnsLayout_->setSpacing(kColumnGap);
    buttonRow_ = new QHBoxLayout;
    buttonRow_->addStretch(1);
    root->addLayout(columnsLayout_);
    root->addSpacing(kRowGap);
    root->addStretch(1);
    root->addLayout(buttonRow_);
    if (const model::Panel *panel = model::FindPanel(handle)) Build(*panel);
    SyncPanel();
}

PanelView::~PanelView() = default;

ControlView *PanelView::Find(int control) const {
    for (const auto &view : controls_)
        if (view->Number() == control) return view.get();
    return nullptr;
}

void PanelView::Build(const model::Panel &panel) {
    // Columns come out left to right when the controls go in that order;
    // the rows of a column are ordered by Place().
    std::vector<const model::Control *> values, buttons;
    for (const model::Control &c : panel.controls) {
        if (c.kind == CTRL_TIMER) continue;
        (c.kind == CTRL_COMMAND_BUTTON ? buttons : values).push_back(&c);
    }
    std::stable_sort(values.begin(), values.end(), [](const model::Control *a, const model::Control *b) {
        return a->left != b->left ? a->left < b->left : a->top < b->top;
    });
    std::stable_sort(buttons.begin(), buttons.end(), ByPlacement);
    for (const std::vector<const model::Control *> *group : {&values, &buttons})
        for (const model::Control *c : *group) {
            controls_.push_back(std::make_unique<ControlView>(handle_, *c, this));
            Place(*c, *controls_.back());
        }
}

PanelView::Column &PanelView::ColumnFor(const model::Control &c) {
    const int left = c.left, right = c.left + std::max(c.width, 0);
    for (Column &column : columns_)
        if (left < column.right - kOverlap && right > column.left + kOverlap) {
            column.left = std::min(column.left, left);
            column.right = std::max(column.right, right);
            return column;
        }
    Column column;
    column.left = left;
    column.right = std::max(right, left + 2 * kOverlap + 1);
    column.form = new QFormLayout;
    column.form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    column.form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Set here, or the form would take the gap between columns for its rows.
    column.form->setVerticalSpacing(kRowGap);
    column.form->setHorizontalSpacing(kLabelGap);
    columnsLayout_->addLayout(column.form, 1);
    columns_.push_back(column);
    return columns_.back();
}

void PanelView::Place(const model::Control &c, ControlView &view) {
    if (!view.Widget()) return;  // a timer
    if (view.IsButton()) {
        buttonRow_->addWidget(view.Widget());
        return;
    }
    QFormLayout *form = ColumnFor(c).form;
    // The row goes below every control of the column that lies above it.
    int row = 0;
    for (const auto &other : controls_) {
        if (other.get() == &view || other->IsButton() || !other->Widget()) continue;
        int otherRow = -1;
        QFormLayout::ItemRole role;
        form->getWidgetPosition(other->Widget(), &otherRow, &role);
        const model::Control *o = model::FindControl(handle_, other->Number());
        if (otherRow >= 0 && o && !ByPlacement(&c, o)) row = std::max(row, otherRow + 1);
    }
    if (view.Label())
        form->insertRow(row, view.Label(), view.Widget());
    else
        form->insertRow(row, QString(), view.Widget());
}

void PanelView::AddControl(int control) {
    const model::Control *c = model::FindControl(handle_, control);
    if (!c || Find(control)) return;
    controls_.push_back(std::make_unique<ControlView>(handle_, *c, this));
    Place(*c, *controls_.back());
    FitSize();
}

void PanelView::UpdateControl(int control) {
    if (ControlView *view = Find(control)) view->Changed();
}

void PanelView::FlushPending() {
    for (const auto &view : controls_) view->FlushPending();
}

void PanelView::FitSize() {
    const model::Panel *panel = model::FindPanel(handle_);
    if (!panel) return;
    ensurePolished();
    if (layout()) layout()->activate();
    const QSize hint = sizeHint().expandedTo(minimumSizeHint());
    // A resource file's panel size was drawn for the original's pixel
    // layout, which the columns above replace: such a panel is as large as
    // its controls need. A panel made at run time has no layout but its
    // size, which it keeps unless its controls need more.
    if (panel->resourceId != 0)
        resize(hint);
    else
        resize(std::max(panel->width, hint.width()), std::max(panel->height, hint.height()));
}

void PanelView::SyncPanel() {
    const model::Panel *panel = model::FindPanel(handle_);
    if (!panel) return;
    const QString title = QString::fromStdString(panel->title);
    if (windowTitle() != title) setWindowTitle(title);
    FitSize();
}

void PanelView::PlaceOver(const QWidget *opener) {
    const model::Panel *panel = model::FindPanel(handle_);
    if (!panel) return;
    FitSize();
    // The window frame is not known before the first show: the opener's,
    // drawn by the same window manager, stands for it.
    const QSize frame = opener ? opener->frameGeometry().size() - opener->size() : QSize(0, 0);
    const QSize outer = size() + frame;
    // A panel made at run time opens where its maker placed it, in the
    // screen's coordinates. A resource file's panel was placed for the
    // original's screen: it opens centred over its opener, or without one
    // (the main window) in the middle of the screen.
    const bool fromFile = panel->resourceId != 0;
    const QScreen *screen = fromFile && opener ? opener->screen() : QGuiApplication::primaryScreen();
    QPoint topLeft(panel->left, panel->top);
    if (fromFile && opener)
        topLeft = opener->frameGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2);
    else if (fromFile && screen)
        topLeft = screen->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2);
    if (screen) {
        // Whole on the screen where it fits; its top left corner always.
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.left() + area.width() - outer.width())));
        topLeft.setY(std::max(area.top(), std::min(topLeft.y(), area.top() + area.height() - outer.height())));
    }
    move(topLeft);
}

void PanelView::SetPopup(bool popup) {
    if (popup_ == popup) return;
    popup_ = popup;
    const Qt::WindowModality modality = popup ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() == modality) return;
    // Qt takes a new modality at the next show.
    const bool shown = isVisible();
    if (shown) hide();
    setWindowModality(modality);
    if (shown) show();
}

void PanelView::ShowNow() {
    if (!isVisible()) show();
    raise();
    activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < kExposeWaitMs) {
        FlushPaint();
        QThread::msleep(1);
    }
    FlushPaint();
}

void PanelView::closeEvent(QCloseEvent *event) {
    // The window goes the way the panel's close control takes it (its
    // callback hides or discards the panel), or stays when it names none.
    event->ignore();
    // While the program only lets paint through, no look for an event is
    // under way to take the close: it is asked again a moment later.
    if (Flushing()) {
        QTimer::singleShot(kCloseRetryMs, this, [this] { close(); });
        return;
    }
    OperatorClose(handle_);
}

}  // namespace ui::qt::detail
