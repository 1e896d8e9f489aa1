// The Qt windows on the offscreen platform: captions that fit, keys and accelerators,
// the hint while typing, the editor's line breaks, the message countdown.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QtTest>

#include "base/qt/qt_common.h"
#include "script/encoding.h"
#include "editor/editor_windows.h"
#include "editor/main_window_form.h"
#include "editor/qt/qt_views.h"
#include "editor/qt/qt_text.h"
#include "tests/support/recording_platform.h"

using namespace torvic;

class WindowTest : public QObject {
    Q_OBJECT

    struct PlatformHolder { RecordingPlatform platform; };
    // The editor's windows on the recording platform.
    struct Setup : PlatformHolder, EditorWindows<qt::QtViews> {
        qt::MainWindowQt& window = mainView;
        MainWindowPresenter& torvic = main;
        qt::EditorBox* editor;
        int endRequests = 0;
        Setup() : EditorWindows<qt::QtViews>(platform) {
            window.endHook = [this] { endRequests++; };
            torvic.currentDirectory = [] { return std::string("/tmp"); };
            window.show();
            torvic.onLoad("");
            editor = static_cast<qt::EditorBox*>(window.control("Text1"));
        }
        QString text(const char* name) { return window.control(name)->property("text").toString(); }
        void caretTo(int position) {
            QTextCursor c = editor->textCursor();
            c.setPosition(position);
            editor->setTextCursor(c);
        }
        // The colouring at a block's column.
        QTextCharFormat formatAt(int block, int column) {
            for (const QTextLayout::FormatRange& r : editor->document()->findBlockByNumber(block).layout()->formats())
                if (column >= r.start && column < r.start + r.length) return r.format;
            return QTextCharFormat();
        }
    };

    // Every caption of a window that its control cannot show whole: labels
    // (each line), buttons, check boxes and frame titles, measured with the
    // fonts the controls use.
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

    // Tab and Shift+Tab from each control of a form that takes the focus
    // lead to the next and the previous one in the form's order (round the
    // end). A box one types in keeps its Tab as a character.
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

    // A box is as wide as its title, not only its text: a short text under a
    // long title (every box goes through the one application-wide filter);
    // Qt's own boxes speak Catalan.
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

    // Every window at the design size and larger (with a caret position of
    // six digits and four), and every dialog it opens: each caption fits and
    // Tab follows the form's order. "Posició actual"'s labels stand beside
    // each other inside their frame.
    void everyWindowFitsItsCaptionsAndTabsInFormOrder() {
        Setup s;
        s.window.setCaretLabels("268864", "9999");
        QStringList faults = tabOrderFaults(mainWindowForm(), &s.window);
        for (QSize size : {QSize(594, 438), QSize(900, 650)}) {
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

    // The editor keeps every character; in 1252 each one it cannot hold reads
    // as one '?', and it is marked where it stands as it is typed.
    void charactersBeyond1252() {
        Setup s;
        const std::string text = "beep\r\nmsg(\"a\xE2\x86\x92\xC5\x91\")\r\n\xF0\x9F\x98\x80x\nz";
        s.window.setEditorTextUtf8(text);
        QCOMPARE(s.window.editorTextUtf8(), text);
        QCOMPARE(s.window.editorText(), std::string("beep\r\nmsg(\"a??\")\r\n?x\nz"));
        s.caretTo(s.editor->document()->findBlockByNumber(2).position() + 2);  // after the emoji: two units
        QCOMPARE(s.window.editorCaret(), std::size_t(19));  // one character in the 1252 text
        QApplication::processEvents();
        QCOMPARE(s.formatAt(1, 6).underlineStyle(), QTextCharFormat::WaveUnderline);  // the arrow
        QVERIFY(s.formatAt(1, 6).hasProperty(QTextFormat::BackgroundBrush));
        QCOMPARE(s.formatAt(1, 0).fontWeight(), int(QFont::Bold));              // the line is still a msg
        QVERIFY(!s.formatAt(1, 5).hasProperty(QTextFormat::BackgroundBrush));  // "a" is 1252
        QVERIFY(s.formatAt(2, 0).hasProperty(QTextFormat::BackgroundBrush));   // the emoji
        // Typed, not only loaded.
        QKeyEvent arrow(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xE2\x86\x92"));
        QApplication::sendEvent(s.editor, &arrow);
        QCOMPARE(s.window.editorTextUtf8().substr(25, 3), std::string("\xE2\x86\x92"));
        QVERIFY(s.formatAt(2, 2).hasProperty(QTextFormat::BackgroundBrush));
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

    // Typing shows the hint and marks the caption; undoing back to the
    // saved text takes the mark away.
    void typingShowsTheHintAndMarksTheCaption() {
        Setup s;
        QVERIFY(!s.window.windowTitle().startsWith('*'));
        s.editor->setFocus();
        QTest::keyClicks(s.editor, "wait(");
        QVERIFY(s.window.windowTitle().startsWith('*'));
        QCOMPARE(s.text("Text4") + "|" + s.editor->toolTip() + "|" + s.text("Label6"), QString("wait(ms,minuts)|wait(ms,minuts)|5"));
        QCOMPARE(s.window.control("Text4")->palette().color(QPalette::Base), QColor(255, 255, 128));
        QVERIFY(!QToolTip::isVisible());  // a short hint fits its field
        // A hint too long for the field is shown whole at the caret.
        QTest::keyClick(s.editor, Qt::Key_Return);
        QTest::keyClicks(s.editor, "delinechar(");
        const QString hint = QString::fromUtf8("delinechar(num_caracters_principi_a_eliminar,num_caracters_final_a_eliminar,maxlínies)");
        QCOMPARE(s.text("Text4"), hint);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), hint);
        while (s.editor->document()->isUndoAvailable()) s.editor->undo();
        QVERIFY(!s.window.windowTitle().startsWith('*'));
    }

    // Without a notification area the window says so below its controls,
    // covering none of them, and the line goes away again.
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

        // Sized by the desktop meanwhile (held at the screen's size, say):
        // the window keeps that size, and the client area takes the line back.
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

    // The colours follow the dispatcher, and a waiting run's line is marked
    // until F4 (by its run number: empty lines have none).
    void gutterColoursAndTheRunningLine() {
        Setup s;
        auto* editor = s.editor;
        s.window.setEditorText("beep\r\n\r\n  wiat(1)\r\n' note\r\nwait(5000)\r\nbeep");
        QApplication::processEvents();
        QCOMPARE(s.formatAt(2, 3).underlineStyle(), QTextCharFormat::WaveUnderline);  // not a command, after blanks
        QVERIFY(s.formatAt(3, 2).fontItalic() && s.formatAt(3, 2).underlineStyle() == QTextCharFormat::NoUnderline);  // a comment
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        bool timedWindow = false;  // the unrecognised line shows its timed window first
        QTimer::singleShot(400, [&timedWindow] {
            if (QWidget* w = QApplication::activeModalWidget()) timedWindow = w->close();
        });
        QTest::keyClick(editor, Qt::Key_F5);
        QVERIFY(timedWindow);
        QTRY_COMPARE(editor->markedRunLine(), 3);  // waiting in wait(5000)
        QCOMPARE(editor->extraSelections().size(), 1);
        QCOMPARE(editor->extraSelections()[0].cursor.blockNumber(), 4);
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTest::keyClick(editor, Qt::Key_F4);
        QCOMPARE(editor->markedRunLine(), -1);
        QVERIFY(editor->extraSelections().isEmpty());
        // An encoded script's lines are not its own: no numbers, no colours,
        // also when its marker is typed by hand; and back when it is undone.
        s.window.setEditorText(codificaText("k", "beep\r\nbeep"));
        QApplication::processEvents();
        QCOMPARE(editor->runNumber(0), -1);
        s.window.setEditorText("beep\r\nbeep");
        QApplication::processEvents();
        QCOMPARE(s.formatAt(1, 0).fontWeight(), int(QFont::Bold));
        s.caretTo(0);
        QTest::keyClicks(editor, "$%& ");
        QTRY_COMPARE(s.formatAt(1, 0).fontWeight(), int(QFont::Normal));
        while (editor->document()->isUndoAvailable()) editor->undo();
        QTRY_COMPARE(s.formatAt(1, 0).fontWeight(), int(QFont::Bold));
    }

    // The editor gives back what it was given, byte for byte (lone CR and
    // LF, non-breaking spaces, a last line break or none; 1252 and UTF-8),
    // counting a line break as CR LF; and "Substituir", "Codificar" and
    // "Descodificar" are undone with Ctrl+Z, as typing is, back to that.
    void textsComeBackAndReplaceAndEncodeAreUndone() {
        Setup s;
        const std::string plain = "a\nb\r\nc\rd\r\n\r\n\xE0 12\xA0" "500\xA0\r\nwait(5)";
        s.window.setEditorText(plain);
        QCOMPARE(s.window.editorText(), plain);
        s.caretTo(6);  // in the widget: "a?b" + break + "c?d" -> just after "c" on the second line
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
        // Codificar and Descodificar (1252 texts), each undone on its own.
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

    // A key reads only the caret's line; what the window tells of it is what
    // the whole text tells, at every place of the caret (the hint and labels
    // from it: editor_test's MainWindow.HintFromTheCaretsLine).
    void caretLineAsTheWholeTextTellsIt() {
        Setup s;
        const struct { std::string text; bool utf8; } texts[] = {
            {"beep\r\nwait(5)\r\n\r\nmsg(\"a\")", false},
            {"wait\r\n  beep x\r\nnothing", false},
            {"a\nb\r\nc\rd\r\n\xE0 12\xA0" "500(", false},                       // lone LF and CR
            {"x\xF0\x9F\x98\x80y(\r\n\xE2\x86\x92z\r\nw\xF0\x9F\x98\x80", true},  // beyond 1252 and 16 bits
        };
        for (const auto& t : texts) {
            t.utf8 ? s.window.setEditorTextUtf8(t.text) : s.window.setEditorText(t.text);
            const QString units = s.editor->document()->toRawText();
            for (int pos = 0; pos < s.editor->document()->characterCount(); ++pos) {
                if (pos > 0 && units[pos - 1].isHighSurrogate()) continue;  // inside a character
                s.caretTo(pos);
                const auto fast = s.window.editorCaretLine(), whole = s.window.MainWindowView::editorCaretLine();
                const QString where = QString("%1 at %2").arg(QString::fromStdString(t.text)).arg(pos);
                QVERIFY2(fast.line == whole.line && fast.column == whole.column && fast.text == whole.text, qPrintable(where));
                QVERIFY2(s.window.editorHoldsAfterCaretLine('(') == s.window.MainWindowView::editorHoldsAfterCaretLine('('),
                         qPrintable(where));
            }
        }
    }

    // The gutter's run numbers follow every kind of edit, as numbering the
    // whole text again would give them.
    void gutterFollowsEveryEdit() {
        Setup s;
        auto* editor = s.editor;
        auto check = [editor](const QString& after) {
            QList<int> got, want;
            const bool encoded = editor->document()->firstBlock().text().startsWith("$%& ");
            int next = 0;
            for (QTextBlock b = editor->document()->firstBlock(); b.isValid(); b = b.next()) {
                got << editor->runNumber(b.blockNumber());
                want << (encoded || b.text().isEmpty() ? -1 : next++);
            }
            QVERIFY2(got == want, qPrintable(after));
        };
        auto at = [editor](int block, int column) {
            QTextCursor c(editor->document()->findBlockByNumber(block));
            c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
            return c;
        };
        auto remove = [](QTextCursor c, auto extend) { extend(c); c.removeSelectedText(); };
        const std::function<void()> edits[] = {
            [&] { at(1, 0).insertText("beep"); },                  // an empty line filled
            [&] { at(0, 2).insertText("\n\nx\n"); },              // lines split and added
            [&] { remove(at(1, 0), [&](QTextCursor& c) { c.setPosition(at(4, 1).position(), QTextCursor::KeepAnchor); }); },
            [&] { remove(at(2, 0), [](QTextCursor& c) { c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor); }); },
            [&] { editor->undo(); }, [&] { editor->undo(); }, [&] { editor->redo(); },
            [&] { at(0, 0).insertText("$%& "); }, [&] { editor->undo(); },  // encoded: no numbers
            [&] { remove(QTextCursor(editor->document()), [](QTextCursor& c) {  // the last line's break removed
                      c.movePosition(QTextCursor::End);
                      c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
                  }); },
            [&] { editor->selectAll(); editor->textCursor().removeSelectedText(); },
            [&] { QTextCursor(editor->document()).insertText("a\n\nb\n"); },
        };
        s.window.setEditorText("beep\r\n\r\nwait(1)\r\n' note\r\n\r\nbeep");
        check("at first");
        for (int step = 0; step < int(std::size(edits)); ++step) {
            edits[step]();
            check(QString("after edit %1").arg(step));
        }
    }

    // A long text goes in by pieces: it comes back whole (a character beyond
    // 16 bits on a piece's edge too), with nothing to undo, the caret at its
    // start and every line numbered; it is coloured where it is shown, its
    // first lines at once, the others when scrolled to.
    void longTextLoadsWholeAndIsColouredWhereShown() {
        Setup s;
        const qsizetype piece = qt::MainWindowQt::kEditorPiece, lines = (piece - 1) / 10;
        std::string text;
        for (qsizetype i = 0; i < lines; ++i) text += "abcdefghi\r\n";  // ten units each in the widget
        text += std::string(static_cast<std::size_t>((piece - 1) % 10), 'a') + "\xF0\x9F\x98\x80" "b\r\n";
        for (int i = 0; i < 50000; ++i) text += i % 2 ? "wiat(1)\r\n" : "beep\r\n";
        s.window.setEditorTextUtf8(text + "end");
        QVERIFY(s.editor->document()->toRawText().at(piece - 1).isHighSurrogate());
        QVERIFY(s.window.editorTextUtf8() == text + "end");
        QVERIFY(!s.editor->document()->isUndoAvailable());
        QCOMPARE(s.editor->textCursor().position(), 0);
        const int last = s.editor->document()->blockCount() - 1;
        QCOMPARE(last, int(lines) + 50001);
        QCOMPARE(s.editor->runNumber(last), last);
        QApplication::processEvents();
        QCOMPARE(s.formatAt(0, 0).underlineStyle(), QTextCharFormat::WaveUnderline);
        const int beep = int(lines) + 1001;
        QVERIFY(s.editor->document()->findBlockByNumber(beep).layout()->formats().isEmpty());  // not yet shown
        s.editor->verticalScrollBar()->setValue(beep);
        QApplication::processEvents();
        QTRY_COMPARE(s.formatAt(beep, 0).fontWeight(), int(QFont::Bold));
        QCOMPARE(s.formatAt(beep + 1, 0).underlineStyle(), QTextCharFormat::WaveUnderline);
        QTest::keyClicks(s.editor, "x");  // typing after it is undone as usual
        QVERIFY(s.editor->document()->isUndoAvailable());
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);  // as torvic itself does
    qt::fitMessageBoxTitles(app);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "qt_window_test.moc"
