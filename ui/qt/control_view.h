// One control of a panel as a widget: built from the model's control, kept
// in step with it, and reporting the operator's actions back to the model.
#pragma once
#include <QMetaObject>
#include <QString>
#include <chrono>
#include <vector>

#include "ui/model.h"

class QColor;
class QLabel;
class QObject;
class QWidget;

namespace ui::qt::detail {

class ControlView {
public:
    // Timers have no widget: Widget() is then null.
    ControlView(int panel, const model::Control &control, QWidget *parent);
    ~ControlView();
    ControlView(const ControlView &) = delete;
    ControlView &operator=(const ControlView &) = delete;

    int Number() const { return number_; }
    int Kind() const { return kind_; }
    QWidget *Widget() const { return widget_; }
    // The label shown beside the widget; null for kinds that carry their
    // own text (buttons, radio buttons, switches).
    QLabel *Label() const { return label_; }
    bool IsButton() const { return kind_ == CTRL_COMMAND_BUTTON; }

    // Shows the control's value and attributes as the model has them; a
    // visible widget is painted at once.
    void Update(const model::Control &control);
    // The model changed: shown at once while the control has been drawn no
    // more than kDrawsPerSecond times a second (after a burst of up to
    // kDrawBurst changes), else when its turn comes. A control the program
    // changes on every row of a large file is drawn about 30 times a second
    // instead of slowing the reading down; a few changes in a row, as pages
    // of an upgrade, are each drawn at once.
    void Changed();
    // Shows at once a change that Changed() held back.
    void FlushPending();

private:
    void Build(QWidget *parent);
    void Connect();
    void ShowValue(const model::Control &control);
    void ShowMode(const model::Control &control);
    void ShowColours(const model::Control &control);
    void ShowLabel(const model::Control &control);
    // The model again, after the model refused what the operator entered.
    void Resync();
    // After the operator set a value: commits when the control is hot.
    void CommitIfHot(model::UserResult input);
    void TextEdited();
    void Draw();

    int panel_ = 0;
    int number_ = 0;
    int kind_ = 0;
    int mode_ = -1;
    QWidget *widget_ = nullptr;
    QLabel *label_ = nullptr;
    QObject *filter_ = nullptr;
    // Cut when this goes, before the widgets do: a widget losing the focus
    // as it is destroyed still signals.
    std::vector<QMetaObject::Connection> connections_;
    // Draws the control may make at once, refilled kDrawsPerSecond a second.
    double drawTokens_;
    std::chrono::steady_clock::time_point refilled_;
    bool pending_ = false;
};

inline constexpr double kDrawsPerSecond = 30.0;
inline constexpr double kDrawBurst = 8.0;

// Text as a button shows it: "&" is a letter, not a mnemonic.
QString ButtonText(const std::string &label);
// The colour of a 0xRRGGBB value.
QColor Rgb(int rgb);

}  // namespace ui::qt::detail
