#include "base/qt/form_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

namespace torvic::qt {
namespace {

// The first installed family of a list, else the system's font of that kind.
QFont pickFont(std::initializer_list<const char*> families, QFontDatabase::SystemFont fallback, double points) {
    const QStringList installed = QFontDatabase::families();
    QFont f = QFontDatabase::systemFont(fallback);
    for (const char* family : families) {
        if (installed.contains(family)) {
            f = QFont(family);
            break;
        }
    }
    f.setPointSizeF(points);
    return f;
}

QWidget* makeWidget(QWidget* parent, ControlKind kind, const QString& caption, unsigned style) {
    switch (kind) {
        case ControlKind::Frame: {
            auto* frame = new QGroupBox(caption, parent);
            // A frame inside a frame covers its parent's border line, so the
            // line does not run through its title.
            frame->setAutoFillBackground(qobject_cast<QGroupBox*>(parent) != nullptr);
            return frame;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(caption, parent);
            // Return presses the button that has the focus (in a dialog), as
            // on Windows; elsewhere it presses the default button, if any.
            button->setAutoDefault(true);
            button->setDefault(style & DefaultButton);
            return button;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            if (style & WordWrap) {
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
            return label;
        }
        case ControlKind::Field: {
            auto* field = new QLineEdit(caption, parent);
            if (style & RightAligned) field->setAlignment(Qt::AlignRight);
            field->setReadOnly(style & ReadOnly);
            return field;
        }
        case ControlKind::Editor: {
            auto* editor = new QPlainTextEdit(caption, parent);
            editor->setReadOnly(style & ReadOnly);
            return editor;
        }
        case ControlKind::CheckBox: return new QCheckBox(caption, parent);
        case ControlKind::List: return new QListWidget(parent);
        case ControlKind::DropDown: return new QComboBox(parent);
        case ControlKind::Icon: {
            auto* icon = new QLabel(parent);
            icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
            return icon;
        }
        case ControlKind::Line: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
    }
    return nullptr;
}

}  // namespace

QFont fixedFont(double points) {
    return pickFont({"Courier New", "Liberation Mono", "Nimbus Mono PS"}, QFontDatabase::FixedFont, points);
}

QFont proportionalFont(double points, bool bold) {
    QFont f = pickFont({"MS Sans Serif", "Arial", "Liberation Sans"}, QFontDatabase::GeneralFont, points);
    f.setBold(bold);
    return f;
}

QRect twips(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QWidget* makeControl(QWidget* parent, ControlKind kind, const char* name, const char* caption, const char* tip,
                     const TwipRect& place, unsigned style, double points, std::function<void()> onClick,
                     const MakeWidget& make) {
    QWidget* w = make ? make(kind, name, parent) : nullptr;
    if (!w) w = makeWidget(parent, kind, QString::fromUtf8(caption), style);
    w->setObjectName(QString::fromUtf8(name));
    w->setFont(proportionalFont(points, style & Bold));
    if (*tip) w->setToolTip(QString::fromUtf8(tip));
    w->setGeometry(twips(place));
    if (onClick)
        if (auto* button = qobject_cast<QPushButton*>(w))
            QObject::connect(button, &QPushButton::clicked, button, std::move(onClick));
    return w;
}

}  // namespace torvic::qt
