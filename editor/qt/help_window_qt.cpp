#include "editor/qt/help_window_qt.h"

#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace torvic::qt {

HelpWindowQt::HelpWindowQt(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Torvic: comandes i sintaxis");
    resize(720, 640);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("manual");
    browser_->setOpenLinks(false);
    auto* print = new QPushButton("Imprimir...", this);
    auto* close = new QPushButton("Tancar", this);
    connect(print, &QPushButton::clicked, this, &HelpWindowQt::print);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addLayout(buttons);
}

void HelpWindowQt::showHtml(const QString& html) {
    browser_->setHtml(html);
    show();
    raise();
    activateWindow();
}

void HelpWindowQt::print() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Imprimir el manual");
    if (dialog.exec() == QDialog::Accepted) browser_->document()->print(&printer);
}

}  // namespace torvic::qt
