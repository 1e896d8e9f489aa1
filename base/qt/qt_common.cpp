#include "base/qt/qt_common.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QSettings>
#include <QSpacerItem>
#include <QStyle>
#include <QTimer>
#include <QTranslator>

#include <exception>

namespace torvic::qt {
namespace {

// Widens each message box, once, when it is first shown: a spacer row as
// wide as the title, which the box's own sizing then respects.
class TitleFitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* box = qobject_cast<QMessageBox*>(watched);
        auto* grid = box ? qobject_cast<QGridLayout*>(box->layout()) : nullptr;
        if (!grid || box->property("torvicTitleFitted").toBool()) return false;
        box->setProperty("torvicTitleFitted", true);
        const int need = titleWidth(box->windowTitle()) - 2 * box->style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
        grid->addItem(new QSpacerItem(need, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
        return false;
    }
};

}  // namespace

QIcon torvicIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0, 0, 128));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(0, 0, size, size, size / 6.0, size / 6.0);
        p.setPen(QColor(255, 255, 0));
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(size * 3 / 4);
        p.setFont(f);
        p.drawText(pm.rect(), Qt::AlignCenter, "T");
        icon.addPixmap(pm);
    }
    return icon;
}

bool installCatalanTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Catalan), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

int titleWidth(const QString& title) {
    // Window managers draw titles in a bold font, often larger than the
    // application's; the frame's icon and buttons take about 110 pixels.
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    return QFontMetrics(font).horizontalAdvance(title) + 110;
}

void fitMessageBoxTitles(QApplication& app) { app.installEventFilter(new TitleFitter(&app)); }

void keepNoSettings() {
    // A folder that cannot exist, even for root: "/dev/null" is a file.
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, "/dev/null");
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    std::string what;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "?";
    }
    // Told after the event, outside its handler: the handler may hold a
    // window half changed, and a box opened here would run inside it.
    if (onEscaped) QTimer::singleShot(0, this, [this, what] { onEscaped(what); });
    return false;
}

void prepareApplication(QApplication& app) {
    keepNoSettings();
    installCatalanTranslation(app);
    fitMessageBoxTitles(app);
    app.setWindowIcon(torvicIcon());
}

int execOverDialog(QMessageBox& box, const QWidget* over) {
    box.setParent(nullptr, box.windowFlags());
    if (over && over->isVisible()) {
        box.adjustSize();
        box.move(over->frameGeometry().center() - box.rect().center());
    }
    return box.exec();
}

}  // namespace torvic::qt
