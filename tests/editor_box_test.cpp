// The editor box on a real X server (editor_box_x11.sh, scale factors 1 and 2): clicks, the
// caret and the selection must fall where the screen's pixels show the characters.
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include <cmath>

#include "base/qt/form_qt.h"
#include "editor/qt/script_editor_qt.h"

using namespace torvic;

class EditorBoxTest : public QObject {
    Q_OBJECT

    // A box alone with the editor's font, shown and focused, holding one line of 120 bars.
    struct Shown {
        qt::EditorBox box{nullptr};
        Shown() {
            box.setFont(qt::fixedFont(9.75));
            box.resize(1200, 200);
            box.setText(std::string(kColumns, '|'));
            box.show();
            box.activateWindow();
            box.setFocus();
        }
        qreal ratio() const { return box.devicePixelRatioF(); }
        // The viewport as the screen shows it (device pixels).
        QImage screen() {
            box.viewport()->repaint();
            const QPoint at = box.viewport()->mapTo(&box, QPoint(0, 0));
            return QGuiApplication::primaryScreen()
                ->grabWindow(box.winId(), at.x(), at.y(), box.viewport()->width(), box.viewport()->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        }
        int middleRow() const { return static_cast<int>(box.fontMetrics().height() / 2 * ratio()); }
    };
    static constexpr int kColumns = 120;

    // The middle of each stroke along a row (weighted by its ink), in device pixels, within [from, to).
    static QList<qreal> strokes(const QImage& shot, int row, int ground = 255, int from = 0, int to = -1) {
        QList<qreal> out;
        qreal weight = 0, sum = 0;
        for (int x = from; x < (to < 0 ? shot.width() : to); ++x) {
            const int ink = std::abs(qGray(shot.pixel(x, row)) - ground);
            if (ink > 60) {
                weight += ink;
                sum += ink * x;
            } else if (weight > 0) {
                out << sum / weight;
                weight = sum = 0;
            }
        }
        if (weight > 0) out << sum / weight;
        return out;
    }

    static void click(QWidget* w, QPointF at, Qt::KeyboardModifiers mods = {}) {
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, mods);
        QApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, mods);
        QApplication::sendEvent(w, &release);
    }

private slots:
    void initTestCase() { QApplication::setCursorFlashTime(0); }  // a caret that does not blink

    // Clicks at a quarter and three quarters of a character land before and after it; the caret
    // is drawn between its characters (after End too); a selection covers its characters only.
    void clicksCaretAndSelectionFallOnTheCharacters() {
        Shown s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.box));
        QTRY_VERIFY(s.box.hasFocus());
        s.box.setCaret(0);
        s.box.clearFocus();  // no caret: only the characters
        QTRY_VERIFY(!s.box.hasFocus());
        const QImage bare = s.screen();
        const int row = s.middleRow();
        const QList<qreal> bars = strokes(bare, row, qGray(s.box.palette().color(QPalette::Base).rgb()));
        QCOMPARE(bars.size(), kColumns);
        const qreal cell = (bars.last() - bars.first()) / (kColumns - 1);  // device pixels, from the screen
        const qreal ratio = s.ratio();
        QWidget* area = s.box.viewport();

        QStringList wrong;
        for (int column = 0; column < kColumns; column += 9) {
            for (const qreal part : {0.25, 0.75}) {
                const QPointF at((bars[column] + (part - 0.5) * cell) / ratio, row / ratio);
                click(area, at);
                const std::size_t got = s.box.script().columnOf(s.box.script().caret);
                const std::size_t want = static_cast<std::size_t>(column) + (part > 0.5 ? 1 : 0);
                if (got != want) wrong << QString("%1 of column %2: column %3, not %4").arg(part).arg(column).arg(got).arg(want);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));

        s.box.setFocus();  // the caret: what differs from the bare line
        QTRY_VERIFY(s.box.hasFocus());
        for (const int column : {0, 1, 37, 64, 119, kColumns}) {
            s.box.setCaret(static_cast<std::size_t>(column));
            const QImage withCaret = s.screen();
            qreal left = -1, right = -1;
            for (int x = 0; x < bare.width(); ++x)
                if (withCaret.pixel(x, row) != bare.pixel(x, row)) {
                    if (left < 0) left = x;
                    right = x;
                }
            QVERIFY2(left >= 0, qPrintable(QString("no caret at column %1").arg(column)));
            const qreal caret = (left + right) / 2;  // between the bars beside it, about where their cells meet
            if (column > 0) QVERIFY2(caret > bars[column - 1], qPrintable(QString("caret %1 left of bar %2").arg(caret).arg(column - 1)));
            if (column < kColumns) QVERIFY2(caret < bars[column], qPrintable(QString("caret %1 right of bar %2").arg(caret).arg(column)));
            const qreal between = column < kColumns ? bars[column] - cell / 2 : bars.last() + cell / 2;
            QVERIFY2(std::abs(caret - between) < cell / 2 + ratio,
                     qPrintable(QString("column %1: caret at %2, cells meet at %3").arg(column).arg(caret).arg(between)));
        }

        s.box.setCaret(60, 50);  // bars 50..59: the selection's ground begins and ends where their cells do
        const QImage selected = s.screen();
        const QColor ground = s.box.palette().color(QPalette::Highlight);
        int from = -1, to = -1;
        for (int x = 0; x < selected.width(); ++x)
            if (QColor(selected.pixel(x, 1)) == ground) {
                if (from < 0) from = x;
                to = x;
            }
        QVERIFY(from >= 0);
        QVERIFY2(std::abs(from - (bars[50] - cell / 2)) <= ratio + 0.5, qPrintable(QString("starts at %1").arg(from)));
        QVERIFY2(std::abs(to + 1 - (bars[59] + cell / 2)) <= ratio + 0.5, qPrintable(QString("ends at %1").arg(to)));
        QCOMPARE(strokes(selected, row, qGray(ground.rgb()), from, to + 1).size(), 10);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EditorBoxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "editor_box_test.moc"
