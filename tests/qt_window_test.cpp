// The Qt windows on the offscreen platform: captions that fit, keys, the hint, the editor box.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QClipboard>
#include <QTextCharFormat>
#include <QToolTip>
#include <QtTest>

#include "base/errors.h"
#include "base/qt/qt_common.h"
#include "base/text_encoding.h"
#include "script/encoding.h"
#include "base/qt/form_qt.h"
#include "editor/box_colours.h"
#include "editor/editor_windows.h"
#include "editor/main_window_form.h"
#include "editor/qt/qt_views.h"
#include "editor/qt/qt_text.h"
#include "tests/support/recording_platform.h"

using namespace torvic;

class WindowTest : public QObject {
    Q_OBJECT

    struct PlatformHolder { RecordingPlatform platform; };
    struct Setup : PlatformHolder, EditorWindows<qt::QtViews> {
        qt::MainWindowQt& window = mainView;
        MainWindowPresenter& torvic = main;
        qt::EditorBox* editor;
        int endRequests = 0;
        Setup() : EditorWindows<qt::QtViews>(platform) {
            window.endHook = [this] { endRequests++; };
            torvic.currentDirectory = [] { return std::string("/tmp"); };
            torvic.recoveryFolder = [] { return std::string(); };
            window.show();
            torvic.onLoad("");
            editor = static_cast<qt::EditorBox*>(window.control("Text1"));
        }
        QString text(const char* name) { return window.control(name)->property("text").toString(); }
        // How the byte `at` of a line is drawn.
        TextStyle styleAt(std::size_t line, std::size_t at) {
            for (const StyledStretch& r : editor->lineStyles(line))
                if (at >= r.from && at < r.to) return r.style;
            return {};
        }
        // The colour painted at the right end of a shown line.
        QColor paintedAtEnd(std::size_t line) {
            const QImage shot = editor->viewport()->grab().toImage();
            const int row = static_cast<int>(line) - editor->firstShownLine();
            const int height = editor->fontMetrics().height();
            return shot.pixelColor(shot.width() - 3, row * height + height / 2);
        }
    };

    // Every caption of a window that its control cannot show whole, in the control's font.
    static QStringList cutCaptions(QWidget* top) {
        QStringList cut;
        auto report = [&cut](QWidget* w, const QString& text, int need, int have) {
            if (need > have) cut << QString("%1 \"%2\": needs %3 px, has %4").arg(w->objectName(), text).arg(need).arg(have);
        };
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(top) || w->y() < 0) continue;  // "End" is out of sight by design
            const QFontMetrics fm(w->font());
            if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap()) {
                report(w, l->text(), l->heightForWidth(l->width()), l->height());
            } else if (l) {
                const QStringList lines = l->text().split('\n');
                for (const QString& line : lines) report(w, line, fm.horizontalAdvance(line), l->contentsRect().width());
                report(w, l->text(), static_cast<int>(lines.size()) * fm.height(), l->contentsRect().height());
            } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
                report(w, c->text(), c->sizeHint().width(), c->width());
            } else if (auto* b = qobject_cast<QPushButton*>(w)) {
                report(w, b->text(), fm.horizontalAdvance(QString(b->text()).remove('&')) + 6, b->width());
            } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
                report(w, g->title(), fm.horizontalAdvance(g->title()) + 12, g->width());
            }
        }
        return cut;
    }

    // Tab and Shift+Tab that do not lead to the next and previous control in the form's order.
    template <class P>
    static QStringList tabOrderFaults(const Form<P>& form, QWidget* top) {
        top->activateWindow();
        QApplication::processEvents();
        QList<QWidget*> order;
        QList<bool> typesTab;
        for (const FormControl<P>& c : form) {
            if (!*c.name) continue;
            auto* w = top->findChild<QWidget*>(QString::fromUtf8(c.name));
            if (!w || !w->isVisibleTo(top) || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)) continue;
            order << w;
            typesTab << (c.kind == ControlKind::Editor && !(c.style & ReadOnly));
        }
        if (order.size() < 2) return {QString("%1: %2 controls take the focus").arg(top->windowTitle()).arg(order.size())};
        QStringList faults;
        const auto n = order.size();
        for (qsizetype i = 0; i < n; ++i) {
            const struct { qsizetype from, to; Qt::KeyboardModifiers mod; } steps[] = {
                {i, (i + 1) % n, Qt::NoModifier}, {(i + 1) % n, i, Qt::ShiftModifier}};
            for (const auto& step : steps) {
                if (typesTab[step.from]) continue;
                order[step.from]->setFocus(Qt::OtherFocusReason);
                QTest::keyClick(order[step.from], Qt::Key_Tab, step.mod);
                QWidget* got = QApplication::focusWidget();
                if (got != order[step.to])
                    faults << QString("%1%2 from %3 goes to %4, not %5")
                                  .arg(top->windowTitle(), step.mod ? " Shift+Tab" : " Tab", order[step.from]->objectName(),
                                       got ? got->objectName() : "nothing", order[step.to]->objectName());
            }
        }
        return faults;
    }

    // Opens a dialog through its presenter; `inside` sees it as it opens.
    template <class View, class Open, class Inside>
    static bool inDialog(View& view, Open open, Inside inside) {
        bool opened = false;
        view.onOpen = [&](QDialog* d) { opened = true; inside(d); };
        open();
        return opened;
    }

private slots:
    void initTestCase() {
        QApplication::setStyle("Windows");  // as the program draws itself
        QVERIFY(qt::installCatalanTranslation(*QCoreApplication::instance()));
    }

    // A box is as wide as its title (Qt's own boxes too), and Qt's own boxes speak Catalan.
    void messageBoxesShowTheirWholeTitle() {
        Setup s;
        QStringList narrow, captions;
        auto measure = [&narrow, &captions] {
            QTimer::singleShot(50, [&narrow, &captions] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return void(narrow << "no box");
                if (box->width() < qt::titleWidth(box->windowTitle()))
                    narrow << QString("%1: %2 < %3").arg(box->windowTitle()).arg(box->width()).arg(qt::titleWidth(box->windowTitle()));
                captions.clear();
                for (QAbstractButton* b : box->buttons()) captions << b->text().remove('&');
                box->buttons().first()->click();
            });
        };
        const std::function<void()> boxes[] = {
            [&] { s.window.messageBox("Fet!", "Torvic prova amb un titol ben llarg", MessageIcon::Information, false); },
            [] { QMessageBox::question(nullptr, QString::fromUtf8("Desinstal·lació de Torvic:"), "?",
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); }};
        for (const auto& show : boxes) { measure(); show(); }
        QVERIFY2(narrow.isEmpty(), qPrintable(narrow.join("; ")));
        captions.sort();
        QCOMPARE(captions, QStringList({QString::fromUtf8("Cancel·la"), "No", QString::fromUtf8("Sí")}));
    }

    // Every window and dialog: each caption fits and Tab follows the form's order; the caret labels do not overlap.
    void everyWindowFitsItsCaptionsAndTabsInFormOrder() {
        Setup s;
        QStringList faults = tabOrderFaults(mainWindowForm(), &s.window);
        // Numbers of every length up to nine digits (written smaller when long).
        const std::pair<const char*, const char*> places[] = {{"268864", "9999"}, {"1099999", "8"}, {"123456789", "12345"}};
        for (const auto& [line, column] : places)
        for (QSize size : {QSize(594, 438), QSize(900, 650)}) {
            s.window.setCaretLabels(line, column);
            s.window.resize(size.width(), size.height() + s.window.menuBar()->height());
            QApplication::processEvents();
            faults << cutCaptions(&s.window);
            const char* names[] = {"Label7", "Label5", "Label8", "Label6"};
            for (int i = 0; i + 1 < 4; ++i)
                if (s.window.control(names[i])->geometry().intersects(s.window.control(names[i + 1])->geometry()))
                    faults << QString("%1 overlaps %2").arg(names[i], names[i + 1]);
            if (s.window.control("Label6")->geometry().right() >= s.window.control("Frame4")->width()) faults << "Label6 out of Frame4";
        }
        s.window.setEditorText("beep");  // the dialogs work on a text
        auto walk = [&faults](auto& view, auto open, const auto& form) {
            if (!inDialog(view, open, [&](QDialog* d) { faults << cutCaptions(d) << tabOrderFaults(form, d); d->reject(); }))
                faults << QString::fromUtf8(form.title) + " did not open";
        };
        walk(s.replaceDialogView, [&] { s.torvic.onReplace(); }, replaceDialogForm());
        walk(s.keyDialogView, [&] { s.torvic.onEncode(); }, keyDialogForm());
        walk(s.aboutBoxView, [&] { s.torvic.onAbout(); }, aboutBoxForm());
        s.torvic.onMousePosition();
        faults << cutCaptions(s.mousePickerView.window()) << tabOrderFaults(mousePickerForm(), s.mousePickerView.window());
        s.mousePickerView.window()->close();
        s.messageWindowView.show();
        faults << tabOrderFaults(messageWindowForm(), &s.messageWindowView);
        s.messageWindowView.hide();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
    }

    void mousePickerStartsAfreshAfterItsCloseBox() {
        Setup s;
        s.torvic.onMousePosition();
        QDialog* w = s.mousePickerView.window();
        QVERIFY(w && w->isVisible());
        w->findChild<QLineEdit*>("Text1")->setText("55");
        QTRY_VERIFY(!w->findChild<QLabel*>("Label1")->text().isEmpty());  // a poll has filled the labels
        w->close();
        QTRY_VERIFY(s.mousePickerView.window() == nullptr);  // unloaded
        s.torvic.onMousePosition();
        QCOMPARE(s.mousePickerView.window()->findChild<QLineEdit*>("Text1")->text(), QString("0"));
    }

    // What a handler throws reaches the application's guard, and the events go on.
    void anExceptionFromAHandlerEndsNothing() {
        auto* app = dynamic_cast<qt::GuardedApplication*>(QCoreApplication::instance());
        QVERIFY(app);
        std::vector<std::string> escaped;
        app->onEscaped = [&escaped](const std::string& what) { escaped.push_back(what); };
        bool after = false;
        QTimer::singleShot(0, [] { throw RunTimeError("ifmouse necessita una pantalla X"); });
        QTimer::singleShot(10, [&after] { after = true; });
        QTRY_VERIFY(after && !escaped.empty());
        app->onEscaped = nullptr;
        QCOMPARE(escaped, std::vector<std::string>{"ifmouse necessita una pantalla X"});
    }

    // Typing shows the hint and marks the caption; undoing back to the saved text unmarks it.
    void typingShowsTheHintAndMarksTheCaption() {
        Setup s;
        QVERIFY(!s.window.windowTitle().startsWith('*'));
        s.editor->setFocus();
        QTest::keyClicks(s.editor, "wait(");
        QVERIFY(s.window.windowTitle().startsWith('*'));
        QCOMPARE(s.text("Text4") + "|" + s.editor->toolTip() + "|" + s.text("Label6"), QString("wait(ms,minuts)|wait(ms,minuts)|5"));
        QCOMPARE(s.window.control("Text4")->palette().color(QPalette::Base), QColor(255, 255, 128));
        QVERIFY(!QToolTip::isVisible());  // a short hint fits its field
        // A hint too long for its field is shown whole at the caret.
        QTest::keyClick(s.editor, Qt::Key_Return);
        QTest::keyClicks(s.editor, "delinechar(");
        const QString hint = QString::fromUtf8("delinechar(num_caracters_principi_a_eliminar,num_caracters_final_a_eliminar,maxlínies)");
        QCOMPARE(s.text("Text4"), hint);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), hint);
        while (s.editor->script().canUndo()) s.editor->undo();
        QVERIFY(!s.window.windowTitle().startsWith('*'));
    }

    // The status line covers no control and goes away; the window keeps a size the desktop gave.
    void statusLineCoversNothingAndGoes() {
        Setup s;
        s.window.statusMilliseconds = 300;
        QApplication::processEvents();
        const QSize client = s.window.centralWidget()->size();
        const int height = s.window.height();
        s.torvic.onIconise();
        s.window.showNormal();
        QApplication::processEvents();
        QStatusBar* bar = s.window.statusBar();
        QVERIFY(bar->isVisible() && !bar->currentMessage().isEmpty());
        QCOMPARE(s.window.centralWidget()->size(), client);
        const QRect line(bar->mapTo(&s.window, QPoint(0, 0)), bar->size());
        for (const char* name : {"Frame1", "Frame2", "Text4", "Label1", "Label2"}) {
            QWidget* w = s.window.control(name);
            QVERIFY2(!QRect(w->mapTo(&s.window, QPoint(0, 0)), w->size()).intersects(line), name);
        }
        QTRY_VERIFY(!bar->isVisible());
        QTRY_COMPARE(s.window.height(), height);

        s.window.showStatus("prova");
        QApplication::processEvents();
        QVERIFY(bar->isVisible());
        s.window.resize(s.window.width(), height + 40);
        QApplication::processEvents();
        QTRY_VERIFY(!bar->isVisible());
        QApplication::processEvents();
        QCOMPARE(QSize(s.window.height(), s.window.centralWidget()->height()), QSize(height + 40, client.height() + 40));

        s.window.resize(200, 150);  // cannot be shrunk until the frames overlap
        QApplication::processEvents();
        QVERIFY(s.window.centralWidget()->width() >= minimumClientSize().width &&
                s.window.centralWidget()->height() >= minimumClientSize().height);
    }

    // The colours follow the dispatcher; a waiting run's line is marked until F4.
    void gutterColoursAndTheRunningLine() {
        Setup s;
        auto* editor = s.editor;
        s.window.setEditorText("beep\r\n\r\n  wiat(1)\r\n' note\r\nwait(5000)\r\nbeep");
        QApplication::processEvents();
        QVERIFY(s.styleAt(2, 3).wave);  // not a command, after blanks
        QVERIFY(s.styleAt(3, 2).kind == TextStyle::Comment && !s.styleAt(3, 2).wave);  // a comment
        const QColor plain = s.paintedAtEnd(4);
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        bool timedWindow = false;  // the unrecognised line shows its timed window first
        QTimer::singleShot(400, [&timedWindow] {
            if (QWidget* w = QApplication::activeModalWidget()) timedWindow = w->close();
        });
        QTest::keyClick(editor, Qt::Key_F5);
        QVERIFY(timedWindow);
        QTRY_COMPARE(editor->markedRunLine(), 3);  // waiting in wait(5000)
        QTRY_VERIFY(s.paintedAtEnd(4) != plain);  // a green tint of the ground
        QVERIFY(s.paintedAtEnd(4).green() > s.paintedAtEnd(4).red());
        QCOMPARE(s.paintedAtEnd(3), plain);
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTest::keyClick(editor, Qt::Key_F4);
        QCOMPARE(editor->markedRunLine(), -1);
        QTRY_COMPARE(s.paintedAtEnd(4), plain);
    }

    // The editor gives back its text byte for byte; Substituir, Codificar and Descodificar undo with Ctrl+Z.
    void textsComeBackAndReplaceAndEncodeAreUndone() {
        Setup s;
        const std::string plain = "a\nb\r\nc\rd\r\n\r\n\xE0 12\xA0" "500\xA0\r\nwait(5)";
        s.window.setEditorText(plain);
        QCOMPARE(s.window.editorText(), plain);
        s.editor->setCaret(7);  // after "c" and its lone CR
        QCOMPARE(s.window.editorCaret(), std::size_t(7));
        for (const std::string& text : {std::string("beep\r\nmsg(\"a\xC2\xA0" "b\")\r\n"),
                                        std::string("a\nb\r\nc\rd\r\nwait(5)\xE2\x86\x92\xF0\x9F\x98\x80")}) {
            s.window.setEditorTextUtf8(text);
            QCOMPARE(s.window.editorTextUtf8(), text);
            QVERIFY(inDialog(s.replaceDialogView, [&] { s.torvic.onReplace(); }, [](QDialog* d) {
                d->findChild<QLineEdit*>("Text1")->setText("a");
                d->findChild<QLineEdit*>("Text2")->setText("XY");
                d->findChild<QPushButton*>("Command1")->click();
            }));
            QVERIFY(s.window.editorTextUtf8() != text);
            QTest::keyClick(s.editor, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(s.window.editorTextUtf8(), text);
        }
        const std::string clear = "beep\r\n\xE0 12\xA0" "500\r\nwait(5)", encoded = codificaText("k", clear);
        const struct { const char* button; std::string before, after; } steps[] = {
            {"Command1", clear, encoded}, {"Command2", encoded, clear}};
        for (const auto& step : steps) {
            s.window.setEditorText(step.before);
            QVERIFY(inDialog(s.keyDialogView, [&] { s.torvic.onEncode(); }, [&step](QDialog* d) {
                d->findChild<QLineEdit*>("Text1")->setText("k");
                d->findChild<QPushButton*>(step.button)->click();
            }));
            QCOMPARE(s.window.editorText(), step.after);
            QTest::keyClick(s.editor, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(s.window.editorText(), step.before);
        }
    }

    // Each key from a text and caret (| the caret, [ ] a selection) to the text and caret it leaves.
    void keysEditAsExpected() {
        Setup s;
        struct Key { int key; Qt::KeyboardModifiers mods = {}; QString text = {}; };
        const Key left{Qt::Key_Left}, right{Qt::Key_Right}, up{Qt::Key_Up}, down{Qt::Key_Down}, back{Qt::Key_Backspace},
            del{Qt::Key_Delete}, enter{Qt::Key_Return}, home{Qt::Key_Home}, end{Qt::Key_End}, tab{Qt::Key_Tab},
            shiftRight{Qt::Key_Right, Qt::ShiftModifier}, ctrlLeft{Qt::Key_Left, Qt::ControlModifier},
            ctrlEnd{Qt::Key_End, Qt::ControlModifier}, ctrlBack{Qt::Key_Backspace, Qt::ControlModifier},
            undo{Qt::Key_Z, Qt::ControlModifier}, redo{Qt::Key_Y, Qt::ControlModifier}, a{Qt::Key_A, {}, "a"},
            nbsp{0, {}, QString(QChar(0xA0))}, shiftTab{Qt::Key_Backtab, Qt::ShiftModifier};
        const struct { const char* before; std::vector<Key> keys; const char* after; } cases[] = {
            {"ab|c", {left, left, a}, "a|abc"},
            {"a|\xC3\xA9" "b", {del}, "a|b"},
            {"ab|cd", {enter}, "ab\r\n|cd"},
            {"abcdef\r\nx\r\nabc|def", {up, up}, "abc|def\r\nx\r\nabcdef"},  // the column is kept
            {"ab|cd\r\nx", {down, home, end}, "abcd\r\nx|"},
            {"[ab]cd", {a}, "a|cd"},
            {"|abcd", {shiftRight, shiftRight, back}, "|cd"},
            {"[ab]cd", {right}, "ab|cd"},
            {"wait(5) beep|", {ctrlLeft, ctrlBack}, "wait(5|beep"},
            {"|x\r\ny", {ctrlEnd, tab}, "x\r\ny\t|"},
            {"ab|", {a, a, undo}, "ab|"},                             // typing is one step
            {"ab|", {a, undo, redo}, "aba|"},
            {"a|b", {nbsp}, "a\xC2\xA0|b"},                          // a non-breaking space stays one
            {"a|b", {shiftTab}, "a\t|b"},                            // Shift+Tab types a tab too
            {"abcd|", {back, back, back, undo}, "abcd|"},            // a run of Backspace is one step
            {"|abcd", {del, del, del, undo}, "|abcd"},          // and of Delete
        };
        for (const auto& c : cases) {
            std::string before = c.before;
            const bool range = before.find('[') != std::string::npos;
            const std::size_t anchor = before.find(range ? '[' : '|');
            before.erase(anchor, 1);
            const std::size_t caret = range ? before.find(']') : anchor;
            if (range) before.erase(caret, 1);
            s.window.setEditorTextUtf8(before);
            s.editor->setCaret(caret, anchor);
            for (const Key& k : c.keys) {
                QKeyEvent press(QEvent::KeyPress, k.key, k.mods, k.text);
                QApplication::sendEvent(s.editor, &press);
            }
            std::string got(s.editor->script().text());
            QCOMPARE(QString::fromStdString(got.insert(s.editor->script().caret, "|")), QString::fromUtf8(c.after));
        }
        // Copy and paste go through the desktop's clipboard with its line breaks.
        s.window.setEditorTextUtf8("send(x)\r\nwait(10)");
        s.editor->setCaret(10, 3);
        s.editor->copy();
        QCOMPARE(QApplication::clipboard()->text(), QString("d(x)\nw"));
        s.editor->setCaret(0);
        s.editor->paste();
        QCOMPARE(s.window.editorTextUtf8(), std::string("d(x)\r\nwsend(x)\r\nwait(10)"));
    }

    // On every scheme keywords, comments and the gutter's number are drawn readable (read from the pixels).
    void coloursFollowTheDesktopsScheme() {
        Setup s;
        s.editor->setFont(qt::fixedFont(28));  // strokes thick enough to hold their full colour
        s.window.setEditorTextUtf8("beep\r\n' note here\r\nbeep");
        const struct { const char* name; QColor ground, text; } schemes[] = {
            {"dark", QColor(30, 30, 30), QColor(230, 230, 230)},
            {"high contrast", QColor(0, 0, 0), QColor(255, 255, 255)},
            {"light", QColor(255, 255, 255), QColor(0, 0, 0)},
        };
        auto rgb = [](QColor c) {
            return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue())};
        };
        QStringList faults;
        for (const auto& scheme : schemes) {
            QPalette pal = s.editor->palette();
            pal.setColor(QPalette::Base, scheme.ground);
            pal.setColor(QPalette::Text, scheme.text);
            s.editor->setPalette(pal);
            const QImage shot = s.editor->grab().toImage();
            const int line = s.editor->fontMetrics().height();
            const QPoint origin = s.editor->viewport()->mapTo(s.editor, QPoint(0, 0));
            // The ink farthest from `ground` within a line's first words must be readable on it.
            auto check = [&](const char* what, QColor ground, int row, int fromX, int toX) {
                QColor best = ground;
                for (int y = origin.y() + row * line; y < origin.y() + (row + 1) * line; ++y)
                    for (int x = fromX; x < toX; ++x)
                        if (contrast(rgb(shot.pixelColor(x, y)), rgb(ground)) > contrast(rgb(best), rgb(ground)))
                            best = shot.pixelColor(x, y);
                if (contrast(rgb(best), rgb(ground)) < kReadable)
                    faults << QString("%1: %2 %3 on %4").arg(scheme.name, what, best.name(), ground.name());
            };
            const int textFrom = origin.x() + 3, textTo = origin.x() + 3 + 4 * s.editor->fontMetrics().horizontalAdvance('M');
            QCOMPARE(shot.pixelColor(shot.width() - 30, origin.y() + line / 2), scheme.ground);
            check("keyword", scheme.ground, 0, textFrom, textTo);
            check("comment", scheme.ground, 1, textFrom, textTo);
            check("number", shot.pixelColor(origin.x() - 3, origin.y() + line / 2 + line), 0, 0, origin.x());
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }

    // An input method's composition shows at the caret, changes no text until committed, and follows the caret.
    void inputMethodPreeditIsShownAtTheCaret() {
        QApplication::setCursorFlashTime(0);
        Setup s;
        s.window.setEditorTextUtf8("abcd");
        const std::string composed = "ab\xE2\x82\xAC" "x" "cd";
        auto image = [&] {
            QApplication::processEvents();
            return s.editor->viewport()->grab().toImage();
        };
        const int above = s.editor->fontMetrics().ascent() - 1;  // rows above the pre-edit's underline
        auto top = [above](const QImage& i) { return i.copy(0, 0, i.width(), above); };
        s.window.setEditorTextUtf8(composed);
        s.editor->setCaret(6);  // after the composed text, where the composition's caret stands
        const QImage wanted = top(image());
        s.window.setEditorTextUtf8("abcd");
        s.editor->setCaret(2);
        const QRect before = static_cast<QWidget*>(s.editor)->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QList<QInputMethodEvent::Attribute> attributes;
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        const QString preedit = QString::fromUtf8("\xE2\x82\xAC" "x");
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat, 0, static_cast<int>(preedit.size()), underline)
                   << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, static_cast<int>(preedit.size()), 1);
        QInputMethodEvent composing(preedit, attributes);
        QApplication::sendEvent(s.editor, &composing);
        QCOMPARE(s.window.editorTextUtf8(), std::string("abcd"));  // nothing typed yet
        QCOMPARE(top(image()), wanted);                                // but shown where it will stand
        const QRect during = static_cast<QWidget*>(s.editor)->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY2(during.x() > before.x(), "the input method's window follows its caret");
        QCOMPARE(static_cast<QWidget*>(s.editor)->inputMethodQuery(Qt::ImSurroundingText).toString(), QString("abcd"));
        QCOMPARE(static_cast<QWidget*>(s.editor)->inputMethodQuery(Qt::ImCursorPosition).toInt(), 2);
        QInputMethodEvent commit;
        commit.setCommitString(preedit);
        QApplication::sendEvent(s.editor, &commit);
        QCOMPARE(s.window.editorTextUtf8(), composed);
        QCOMPARE(top(image()), wanted);  // the pre-edit gone, the text in its place
        QApplication::setCursorFlashTime(1000);
    }

    // Ctrl+Tab and Ctrl+Shift+Tab take the focus out of the box, forward and back, and type nothing.
    void ctrlTabLeavesTheBox() {
        Setup s;
        s.window.setEditorTextUtf8("beep");
        QApplication::setActiveWindow(&s.window);
        s.editor->setFocus();
        QTRY_VERIFY(s.editor->hasFocus());
        QWidget* next = s.editor->nextInFocusChain();
        while (next != s.editor && !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)))
            next = next->nextInFocusChain();
        QTest::keyClick(s.editor, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), next);
        s.editor->setFocus();
        QTRY_VERIFY(s.editor->hasFocus());
        QTest::keyClick(s.editor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() != s.editor);
        QVERIFY(QApplication::focusWidget() != next);
        QCOMPARE(s.window.editorTextUtf8(), std::string("beep"));
    }

    // Clicks select by word and line, drops are one undo step, Shift turns the wheel sideways, wheel steps add up.
    void mouseSelectsByWordsAndLinesAndTheWheelScrolls() {
        Setup s;
        s.window.setEditorTextUtf8("wait(10) beep\r\nsend(abc) wait(5)\r\nend");
        QWidget* area = s.editor->viewport();
        const qreal cell = QFontMetricsF(s.editor->font()).horizontalAdvance(QString(128, 'M')) / 128;
        const int line = s.editor->fontMetrics().height();
        auto at = [&](qreal column, int row) { return QPoint(qRound(3 + (column + 0.4) * cell), row * line + line / 2); };
        auto selected = [&] {
            const ScriptText& t = s.editor->script();
            return t.slice(t.selectionStart(), t.selectionEnd());
        };
        QTest::mouseDClick(area, Qt::LeftButton, {}, at(1, 0));
        QCOMPARE(selected(), std::string("wait"));
        const QPointF to = at(11, 0);
        QMouseEvent drag(QEvent::MouseMove, to, area->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &drag);
        QCOMPARE(selected(), std::string("wait(10) beep"));
        QTest::mouseRelease(area, Qt::LeftButton, {}, to.toPoint());
        // Elsewhere: a double click and a third click take the line.
        QTest::mouseDClick(area, Qt::LeftButton, {}, at(2, 1));
        QTest::mouseClick(area, Qt::LeftButton, {}, at(2, 1));
        QCOMPARE(selected(), std::string("send(abc) wait(5)\r\n"));
        QTest::mouseClick(area, Qt::LeftButton, {}, at(2, 1));  // a fourth puts the caret
        QCOMPARE(selected(), std::string());
        // A click inside a selection (no drag) puts the caret there.
        s.editor->setCaret(13, 9);  // "beep"
        QTest::mouseClick(area, Qt::LeftButton, {}, at(10, 0));
        QCOMPARE(selected(), std::string());
        QCOMPARE(s.editor->script().caret, std::size_t(10));
        QMimeData dropped;
        dropped.setText("X\nY");
        const QPointF onto = at(2, 2);
        QDragEnterEvent enter(onto.toPoint(), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(area, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(onto, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(area, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(s.window.editorTextUtf8(), std::string("wait(10) beep\r\nsend(abc) wait(5)\r\nenX\r\nYd"));
        s.editor->undo();
        QCOMPARE(s.window.editorTextUtf8(), std::string("wait(10) beep\r\nsend(abc) wait(5)\r\nend"));

        std::string text;
        for (int i = 0; i < 200; ++i) text += std::string(300, 'x') + "\r\n";
        s.window.setEditorTextUtf8(text);
        QScrollBar* across = s.editor->horizontalScrollBar();
        QScrollBar* down = s.editor->verticalScrollBar();
        auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
            QWheelEvent e(QPointF(20, 20), area->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          mods, Qt::NoScrollPhase, false);
            QApplication::sendEvent(area, &e);
        };
        wheel(-120, Qt::ShiftModifier);
        QVERIFY(across->value() > 0);
        QCOMPARE(down->value(), 0);
        for (int i = 0; i < 8; ++i) wheel(-30, {});  // two notches in quarters
        QCOMPARE(down->value(), 2 * QApplication::wheelScrollLines());
    }

    // A partial redraw after each edit or move shows what drawing the whole box gives.
    void partialRedrawsShowWhatAWholeOneDoes() {
        QApplication::setCursorFlashTime(0);  // a caret that does not blink
        Setup s;
        s.window.setEditorText("beep\r\n\r\nwait(1)\r\n' note\r\nbeep");
        QApplication::setActiveWindow(&s.window);
        s.editor->setFocus();
        auto shown = [&] {
            QApplication::processEvents();
            const QPoint at = s.editor->mapTo(&s.window, QPoint(0, 0));
            return QGuiApplication::primaryScreen()->grabWindow(s.window.winId(), at.x(), at.y(), s.editor->width(),
                                                                 s.editor->height()).toImage();
        };
        const struct { Qt::Key key; Qt::KeyboardModifiers mods; } keys[] = {
            {Qt::Key_Down, {}}, {Qt::Key_X, {}},                    // an empty line filled: numbers below change
            {Qt::Key_Y, {}},                                        // a filled line lengthened: they stay
            {Qt::Key_Return, {}}, {Qt::Key_Backspace, {}},          // lines come and go
            {Qt::Key_Down, Qt::ShiftModifier}, {Qt::Key_Down, Qt::ShiftModifier},  // a selection grows
            {Qt::Key_Up, {}},                                       // and goes
            {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_Home, Qt::ControlModifier},
            {Qt::Key_Dollar, {}}, {Qt::Key_Percent, {}}, {Qt::Key_Ampersand, {}}, {Qt::Key_Space, {}},  // encoded
        };
        for (std::size_t n = 0; n < std::size(keys); ++n) {
            QTest::keyClick(s.editor, keys[n].key, keys[n].mods);
            const QImage partial = shown();
            for (QWidget* w : s.editor->findChildren<QWidget*>()) w->update();  // the text, the gutter, all
            QVERIFY2(partial == shown(), qPrintable(QString("after key %1").arg(n)));
        }
        QCOMPARE(s.window.editorText().substr(0, 4), std::string("$%& "));
        QApplication::setCursorFlashTime(1000);
    }

    // A drag held beyond the box selects and scrolls, both ways, until the button is let go.
    void aDragHeldBeyondTheBoxScrolls() {
        Setup s;
        std::string text;
        for (int i = 0; i < 300; ++i) text += "beep\r\n";
        s.window.setEditorTextUtf8(text);
        s.editor->verticalScrollBar()->setValue(100);
        QWidget* area = s.editor->viewport();
        const int line = s.editor->fontMetrics().height();
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(10, line / 2));
        const std::size_t anchor = s.editor->script().anchor;
        QMouseEvent above(QEvent::MouseMove, QPointF(10, -5), area->mapToGlobal(QPointF(10, -5)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &above);
        QTRY_VERIFY(s.editor->firstShownLine() < 95);
        QCOMPARE(s.editor->script().anchor, anchor);
        QVERIFY(s.editor->script().caret < anchor);
        const QPointF below(10, area->height() + 5);
        QMouseEvent down(QEvent::MouseMove, below, area->mapToGlobal(below), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &down);
        QTRY_VERIFY(s.editor->firstShownLine() > 100);
        QVERIFY(s.editor->script().caret > anchor);
        QTest::mouseRelease(area, Qt::LeftButton, {}, below.toPoint());
        const int stopped = s.editor->firstShownLine();
        QTest::qWait(200);
        QCOMPARE(s.editor->firstShownLine(), stopped);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qt::GuardedApplication app(argc, argv);  // as torvic itself is
    app.setQuitOnLastWindowClosed(false);  // as torvic itself does
    qt::fitMessageBoxTitles(app);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "qt_window_test.moc"
