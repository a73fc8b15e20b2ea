#include "ui/qt/popup_dialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/control_view.h"

namespace ui::qt::detail {
namespace {

constexpr int kMinWidth = 360;

QString Text(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Drops whole characters from the end until the UTF-8 form fits.
QString FitBytes(QString text, int maxBytes) {
    while (!text.isEmpty() && text.toUtf8().size() > maxBytes)
        text.chop(text.size() >= 2 && text.back().isLowSurrogate() ? 2 : 1);
    return text;
}

class PopupDialog : public QDialog {
public:
    PopupDialog(const PopupRequest &request, QWidget *parent) : QDialog(parent), buttons_(ButtonsOf(request)) {
        setWindowTitle(Text(request.title));
        setWindowModality(Qt::ApplicationModal);
        setMinimumWidth(kMinWidth);
        auto *layout = new QVBoxLayout(this);
        auto *message = new QLabel(Text(request.message), this);
        message->setObjectName(QStringLiteral("message"));
        message->setTextFormat(Qt::PlainText);
        message->setWordWrap(true);
        layout->addWidget(message);
        if (request.hasResponse) {
            edit_ = new QLineEdit(this);
            edit_->setObjectName(QStringLiteral("response"));
            const int maxBytes = std::max(request.maxResponseLength, 0);
            // A letter takes at least one byte; the byte limit is kept below.
            edit_->setMaxLength(maxBytes);
            connect(edit_, &QLineEdit::textEdited, this, [this, maxBytes](const QString &text) {
                const QString fitted = FitBytes(text, maxBytes);
                if (fitted == text) return;
                const int cursor = std::min(edit_->cursorPosition(), static_cast<int>(fitted.size()));
                edit_->setText(fitted);
                edit_->setCursorPosition(cursor);
            });
            layout->addWidget(edit_);
        }
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        for (std::size_t i = 0; i < buttons_.labels.size(); ++i) {
            const int number = static_cast<int>(i) + 1;
            auto *button = new QPushButton(ButtonText(buttons_.labels[i]), this);
            button->setObjectName(QStringLiteral("button%1").arg(number));
            button->setAutoDefault(false);
            button->setDefault(number == buttons_.enter);
            connect(button, &QPushButton::clicked, this, [this, number] {
                pressed_ = number;
                accept();
            });
            row->addWidget(button);
        }
        layout->addLayout(row);
        if (edit_) edit_->setFocus();
    }

    // Escape and the window's close button.
    void reject() override {
        pressed_ = buttons_.escape;
        QDialog::reject();
    }

    PopupAnswer Answer(PopupKind kind) const {
        PopupAnswer answer;
        switch (kind) {
        case PopupKind::Message: answer.button = 1; break;
        case PopupKind::Confirm: answer.button = pressed_ == 1 ? 1 : 0; break;
        case PopupKind::Prompt: answer.cancelled = pressed_ != 1; break;
        case PopupKind::Generic: answer.button = pressed_; break;
        }
        if (edit_ && !answer.cancelled) answer.response = edit_->text().toStdString();
        return answer;
    }

private:
    PopupButtons buttons_;
    QLineEdit *edit_ = nullptr;
    int pressed_ = 0;
};

}  // namespace

PopupAnswer RunPopupDialog(const PopupRequest &request, QWidget *parent) {
    PopupDialog dialog(request, parent);
    dialog.exec();
    return dialog.Answer(request.kind);
}

}  // namespace ui::qt::detail
