#pragma once
// The help window: the manual shown by the program itself, so that it can be
// read on a desktop with no viewer for RTF or HTML, and printed from there.
#include <QWidget>

class QTextBrowser;

namespace torvic::qt {

class HelpWindowQt : public QWidget {
public:
    explicit HelpWindowQt(QWidget* parent = nullptr);
    void showHtml(const QString& html);  // shows the window, raised
    void print();                        // the print dialog (a printer, or a PDF file)
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace torvic::qt
