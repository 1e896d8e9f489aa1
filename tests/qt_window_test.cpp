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
        int endRequests = 0;
        Setup() : EditorWindows<qt::QtViews>(platform) {
            window.endHook = [this] { endRequests++; };
            torvic.currentDirectory = [] { return std::string("/tmp"); };
            window.show();
            torvic.onLoad("");
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
        QStringList faults;
        if (order.size() < 2) return {QString("%1: %2 controls take the focus").arg(top->windowTitle()).arg(order.size())};
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

private slots:
    void initTestCase() { QApplication::setStyle("Windows"); }  // as the program draws itself
    void qtSpeaksCatalan() {
        QVERIFY(qt::installCatalanTranslation(*QCoreApplication::instance()));
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QStringList captions;
        for (QAbstractButton* b : box.buttons()) captions << b->text().remove('&');
        captions.sort();
        QCOMPARE(captions, QStringList({QString::fromUtf8("Cancel·la"), "No", QString::fromUtf8("Sí")}));
    }

    // A box is as wide as its text unless told otherwise: short texts under
    // long titles, through each kind of box the window shows.
    void messageBoxesShowTheirWholeTitle() {
        Setup s;
        QStringList narrow;
        auto measure = [&narrow] {
            QTimer::singleShot(50, [&narrow] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) {
                    narrow << "no box";
                    return;
                }
                if (box->width() < qt::titleWidth(box->windowTitle()))
                    narrow << QString("%1: %2 < %3").arg(box->windowTitle()).arg(box->width()).arg(qt::titleWidth(box->windowTitle()));
                box->buttons().first()->click();
            });
        };
        measure();
        s.window.messageBox("Fet!", "Torvic prova amb un titol ben llarg", MessageIcon::Information, false);
        measure();
        s.window.askYesNo("Sobreescriure ?", "El fitxer ja existeix:", MessageIcon::None);
        measure();
        s.window.askSaveChanges("Desar?", "Modificacions sense guardar: un titol encara mes llarg que el text");
        measure();
        QMessageBox::question(nullptr, QString::fromUtf8("Desinstal·lació de Torvic:"), "?");
        QVERIFY2(narrow.isEmpty(), qPrintable(narrow.join("; ")));
    }

    // Every window's Tab order is its form's.
    void tabFollowsEachForm() {
        Setup s;
        QStringList faults = tabOrderFaults(mainWindowForm(), &s.window);
        s.window.setEditorText("beep");  // the dialogs work on a text
        auto inDialog = [&faults](auto& view, auto open, const auto& form) {
            bool opened = false;
            view.onOpen = [&](QDialog* d) {
                opened = true;
                faults << tabOrderFaults(form, d);
                d->reject();
            };
            open();
            if (!opened) faults << QString::fromUtf8(form.title) + " did not open";
        };
        inDialog(s.replaceDialogView, [&] { s.torvic.onReplace(); }, replaceDialogForm());
        inDialog(s.keyDialogView, [&] { s.torvic.onEncode(); }, keyDialogForm());
        inDialog(s.aboutBoxView, [&] { s.torvic.onAbout(); }, aboutBoxForm());
        s.torvic.onMousePosition();
        faults << tabOrderFaults(mousePickerForm(), s.mousePickerView.window());
        s.mousePickerView.window()->close();
        s.messageWindowView.show();
        faults << tabOrderFaults(messageWindowForm(), &s.messageWindowView);
        s.messageWindowView.hide();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
    }

    // Every window at the design size and larger, and every dialog it opens.
    void everyCaptionFits() {
        Setup s;
        for (QSize size : {QSize(594, 438), QSize(900, 650)}) {
            s.window.resize(size.width(), size.height() + s.window.menuBar()->height());
            QApplication::processEvents();
            const QStringList cut = cutCaptions(&s.window);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        }
        s.window.setEditorText("beep");
        // Each dialog as it opens: its captions, then what the user does in it.
        auto check = [](auto& view, auto act, auto inside) {
            QStringList cut = {"not opened"};
            view.onOpen = [&](QDialog* d) {
                cut = cutCaptions(d);
                inside(d);
            };
            act();
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        };
        check(s.replaceDialogView, [&] { s.torvic.onReplace(); }, [](QDialog* d) { d->reject(); });
        check(s.keyDialogView, [&] { s.torvic.onEncode(); }, [](QDialog* d) {  // encodes the editor text
            d->findChild<QLineEdit*>("Text1")->setText("k");
            d->findChild<QPushButton*>("Command1")->click();
        });
        QCOMPARE(s.window.editorText(), codificaText("k", "beep"));
        QString version;
        check(s.aboutBoxView, [&] { s.torvic.onAbout(); }, [&version](QDialog* d) {
            version = d->findChild<QLabel*>("lblVersion")->text();
            d->findChild<QPushButton*>("cmdOK")->click();
        });
        QCOMPARE(version, QString::fromUtf8("Versió 1.0.60"));
    }

    // The editor keeps every character; in 1252 each one it cannot hold reads
    // as one '?', and it is marked where it stands as it is typed.
    void charactersBeyond1252() {
        Setup s;
        auto* editor = static_cast<qt::EditorBox*>(s.window.control("Text1"));
        const std::string text = "beep\r\nmsg(\"a\xE2\x86\x92\xC5\x91\")\r\n\xF0\x9F\x98\x80x\nz";
        s.window.setEditorTextUtf8(text);
        QCOMPARE(s.window.editorTextUtf8(), text);
        QCOMPARE(s.window.editorText(), std::string("beep\r\nmsg(\"a??\")\r\n?x\nz"));
        QTextCursor c = editor->textCursor();
        c.setPosition(editor->document()->findBlockByNumber(2).position() + 2);  // after the emoji: two units
        editor->setTextCursor(c);
        QCOMPARE(s.window.editorCaret(), std::size_t(19));  // one character in the 1252 text
        QApplication::processEvents();
        auto formatAt = [editor](int block, int column) {
            const QTextBlock b = editor->document()->findBlockByNumber(block);
            for (const QTextLayout::FormatRange& r : b.layout()->formats())
                if (column >= r.start && column < r.start + r.length) return r.format;
            return QTextCharFormat();
        };
        QCOMPARE(formatAt(1, 6).underlineStyle(), QTextCharFormat::WaveUnderline);  // the arrow
        QVERIFY(formatAt(1, 6).hasProperty(QTextFormat::BackgroundBrush));
        QCOMPARE(formatAt(1, 0).fontWeight(), int(QFont::Bold));                 // the line is still a msg
        QVERIFY(!formatAt(1, 5).hasProperty(QTextFormat::BackgroundBrush));     // "a" is 1252
        QVERIFY(formatAt(2, 0).hasProperty(QTextFormat::BackgroundBrush));      // the emoji
        // Typed, not only loaded.
        QKeyEvent arrow(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xE2\x86\x92"));
        QApplication::sendEvent(editor, &arrow);
        QCOMPARE(s.window.editorTextUtf8().substr(25, 3), std::string("\xE2\x86\x92"));
        QVERIFY(formatAt(2, 2).hasProperty(QTextFormat::BackgroundBrush));
    }

    void mousePickerStartsAfreshAfterItsCloseBox() {
        Setup s;
        s.torvic.onMousePosition();
        QDialog* w = s.mousePickerView.window();
        QVERIFY(w && w->isVisible());
        QVERIFY2(cutCaptions(w).isEmpty(), qPrintable(cutCaptions(w).join("; ")));
        w->findChild<QLineEdit*>("Text1")->setText("55");
        QTest::qWait(250);  // one poll has filled the labels
        QVERIFY(!w->findChild<QLabel*>("Label1")->text().isEmpty());
        w->close();
        QTRY_VERIFY(s.mousePickerView.window() == nullptr);  // unloaded
        s.torvic.onMousePosition();
        QCOMPARE(s.mousePickerView.window()->findChild<QLineEdit*>("Text1")->text(), QString("0"));
    }

    void typingShowsTheHint() {
        Setup s;
        QWidget* editor = s.window.control("Text1");
        editor->setFocus();
        QTest::keyClicks(editor, "wait(");
        QCOMPARE(qobject_cast<QLineEdit*>(s.window.control("Text4"))->text(), QString("wait(ms,minuts)"));
        QCOMPARE(editor->toolTip(), QString("wait(ms,minuts)"));
        QCOMPARE(qobject_cast<QLineEdit*>(s.window.control("Text4"))->palette().color(QPalette::Base),
                 QColor(255, 255, 128));
        QCOMPARE(qobject_cast<QLabel*>(s.window.control("Label6"))->text(), QString("5"));
        QVERIFY(!QToolTip::isVisible());  // a short hint fits its field
        // A hint too long for the field is shown whole at the caret.
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, "delinechar(");
        const QString hint = "delinechar(num_caracters_principi_a_eliminar,num_caracters_final_a_eliminar,maxl" +
                             QString::fromUtf8("í") + "nies)";
        QCOMPARE(qobject_cast<QLineEdit*>(s.window.control("Text4"))->text(), hint);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), hint);
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
            const QRect r(w->mapTo(&s.window, QPoint(0, 0)), w->size());
            QVERIFY2(!r.intersects(line), name);
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
        QCOMPARE(s.window.height(), height + 40);
        QCOMPARE(s.window.centralWidget()->height(), client.height() + 40);

        s.window.resize(200, 150);  // cannot be shrunk until the frames overlap
        QApplication::processEvents();
        QVERIFY(s.window.centralWidget()->width() >= minimumClientSize().width);
        QVERIFY(s.window.centralWidget()->height() >= minimumClientSize().height);
    }

    // The gutter numbers the lines as a run counts them, the colours follow
    // the dispatcher, and a waiting run's line is marked until F4.
    void gutterColoursAndTheRunningLine() {
        Setup s;
        auto* editor = static_cast<qt::EditorBox*>(s.window.control("Text1"));
        s.window.setEditorText("beep\r\n\r\n  wiat(1)\r\n' note\r\nwait(5000)\r\nbeep");
        QApplication::processEvents();
        QList<int> numbers;
        for (int b = 0; b < 6; ++b) numbers << editor->runNumber(b);
        QCOMPARE(numbers, QList<int>({0, -1, 1, 2, 3, 4}));
        auto formatAt = [editor](int block, int column) {
            const QTextBlock b = editor->document()->findBlockByNumber(block);
            for (const QTextLayout::FormatRange& r : b.layout()->formats())
                if (column >= r.start && column < r.start + r.length) return r.format;
            return QTextCharFormat();
        };
        QCOMPARE(formatAt(0, 0).fontWeight(), int(QFont::Bold));                               // a keyword
        QCOMPARE(formatAt(2, 3).underlineStyle(), QTextCharFormat::WaveUnderline);            // not a command
        QVERIFY(formatAt(3, 2).fontItalic());                                                  // a comment
        QCOMPARE(formatAt(3, 2).underlineStyle(), QTextCharFormat::NoUnderline);               // ... is no error
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
        // An encoded script's lines are not its own: no numbers.
        s.window.setEditorText(codificaText("k", "beep\r\nbeep"));
        QApplication::processEvents();
        QCOMPARE(editor->runNumber(0), -1);
    }

    // "Posició actual" shows a line number of six digits and a column of
    // four whole, beside their captions.
    void caretPositionFitsSixDigits() {
        Setup s;
        s.window.setCaretLabels("268864", "9999");
        QApplication::processEvents();
        const QStringList cut = cutCaptions(&s.window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        QStringList overlaps;
        const char* names[] = {"Label7", "Label5", "Label8", "Label6"};
        for (int i = 0; i + 1 < 4; ++i)
            if (s.window.control(names[i])->geometry().intersects(s.window.control(names[i + 1])->geometry()))
                overlaps << QString("%1 %2").arg(names[i], names[i + 1]);
        QWidget* frame = s.window.control("Frame4");
        if (s.window.control("Label6")->geometry().right() >= frame->width()) overlaps << "Label6 Frame4";
        QVERIFY2(overlaps.isEmpty(), qPrintable(overlaps.join("; ")));
    }

    // "Substituir" and "Codificar" are undone with Ctrl+Z, as typing is, back
    // to the text before them byte for byte.
    void replaceAndEncodeAreUndone() {
        Setup s;
        auto* editor = static_cast<qt::EditorBox*>(s.window.control("Text1"));
        const std::string cases[] = {
            "beep\r\nmsg(\"a\xC2\xA0" "b\")\r\n",           // UTF-8: a non-breaking space, a last line break
            "a\nb\r\nc\rd\r\nwait(5)\xE2\x86\x92\xF0\x9F\x98\x80",  // lone LF and CR, beyond 1252
        };
        for (const std::string& text : cases) {
            s.window.setEditorTextUtf8(text);
            s.replaceDialogView.onOpen = [](QDialog* d) {
                d->findChild<QLineEdit*>("Text1")->setText("a");
                d->findChild<QLineEdit*>("Text2")->setText("XY");
                d->findChild<QPushButton*>("Command1")->click();
            };
            s.torvic.onReplace();
            QVERIFY(s.window.editorTextUtf8() != text);
            QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(s.window.editorTextUtf8(), text);
        }
        // Codificar and Descodificar, each undone on its own (1252 texts).
        const std::string plain = "beep\r\n\xE0 12\xA0" "500\r\nwait(5)";
        s.window.setEditorText(plain);
        auto encode = [&s](int button) {
            s.keyDialogView.onOpen = [button](QDialog* d) {
                d->findChild<QLineEdit*>("Text1")->setText("k");
                d->findChild<QPushButton*>(button == 1 ? "Command1" : "Command2")->click();
            };
            s.torvic.onEncode();
        };
        encode(1);
        QCOMPARE(s.window.editorText(), codificaText("k", plain));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.window.editorText(), plain);
        s.window.setEditorText(codificaText("k", plain));
        encode(2);
        QCOMPARE(s.window.editorText(), plain);
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.window.editorText(), codificaText("k", plain));
    }

    // Lone CR and LF, and non-breaking spaces, come back as they went in,
    // in 1252 and in UTF-8.
    void editorKeepsLoneLineBreaksAndNonBreakingSpaces() {
        Setup s;
        const std::string text = "a\nb\r\nc\rd\r\n\r\n\xE0 12\xA0" "500\xA0";
        s.window.setEditorText(text);
        QCOMPARE(s.window.editorText(), text);
        s.window.setEditorTextUtf8("x\xC2\xA0y\r\n\xC2\xA0");
        QCOMPARE(s.window.editorTextUtf8(), std::string("x\xC2\xA0y\r\n\xC2\xA0"));
        s.window.setEditorText(text);
        auto* editor = qobject_cast<QPlainTextEdit*>(s.window.control("Text1"));
        QTextCursor c = editor->textCursor();
        c.setPosition(6);  // in the widget: "a?b" + break + "c?d" -> just after "c" on the second line
        editor->setTextCursor(c);
        QCOMPARE(s.window.editorCaret(), std::size_t(7));  // the break counts as CR LF
    }

    // A key reads only the caret's line; what the window tells of it is what
    // the whole text tells, at every place of the caret.
    void caretLineAsTheWholeTextTellsIt() {
        Setup s;
        auto* editor = qobject_cast<QPlainTextEdit*>(s.window.control("Text1"));
        const struct { std::string text; bool utf8; } texts[] = {
            {"beep\r\nwait(5)\r\n\r\nmsg(\"a\")", false},
            {"wait\r\n  beep x\r\nnothing", false},
            {"a\nb\r\nc\rd\r\n\xE0 12\xA0" "500(", false},                       // lone LF and CR
            {"x\xF0\x9F\x98\x80y(\r\n\xE2\x86\x92z\r\nw\xF0\x9F\x98\x80", true},  // beyond 1252 and 16 bits
        };
        for (const auto& t : texts) {
            if (t.utf8)
                s.window.setEditorTextUtf8(t.text);
            else
                s.window.setEditorText(t.text);
            const QString units = editor->document()->toRawText();
            for (int pos = 0; pos < editor->document()->characterCount(); ++pos) {
                if (pos > 0 && units[pos - 1].isHighSurrogate()) continue;  // inside a character
                QTextCursor c = editor->textCursor();
                c.setPosition(pos);
                editor->setTextCursor(c);
                const auto fast = s.window.editorCaretLine();
                const auto whole = s.window.MainWindowView::editorCaretLine();
                const QString where = QString("%1 at %2").arg(QString::fromStdString(t.text)).arg(pos);
                QCOMPARE(fast.line, whole.line);
                QVERIFY2(fast.column == whole.column, qPrintable(where));
                QVERIFY2(fast.text == whole.text, qPrintable(where));
                QVERIFY2(s.window.editorHoldsAfterCaretLine('(') == s.window.MainWindowView::editorHoldsAfterCaretLine('('),
                         qPrintable(where));
            }
        }
        // Through the window: the line and column labels, and the hint.
        s.window.setEditorText("beep\r\nwait\r\nmsg(1)");
        QTextCursor c = editor->textCursor();
        c.setPosition(9);  // after "wait": a "(" further on, so no hint
        editor->setTextCursor(c);
        s.torvic.onEditorKeyUp();
        QCOMPARE(qobject_cast<QLabel*>(s.window.control("Label5"))->text(), QString("1"));
        QCOMPARE(qobject_cast<QLabel*>(s.window.control("Label6"))->text(), QString("4"));
        QCOMPARE(qobject_cast<QLineEdit*>(s.window.control("Text4"))->text(), QString());
        s.window.setEditorText("beep\r\nwait\r\nbeep");
        c = editor->textCursor();
        c.setPosition(9);
        editor->setTextCursor(c);
        s.torvic.onEditorKeyUp();
        QCOMPARE(qobject_cast<QLineEdit*>(s.window.control("Text4"))->text(), QString("wait(ms,minuts)"));
    }

    // The gutter's run numbers follow every kind of edit, as numbering the
    // whole text again would give them.
    void gutterFollowsEveryEdit() {
        Setup s;
        auto* editor = static_cast<qt::EditorBox*>(s.window.control("Text1"));
        auto numbers = [editor] {
            QList<int> got;
            for (int b = 0; b < editor->document()->blockCount(); ++b) got << editor->runNumber(b);
            return got;
        };
        auto expected = [editor] {
            QList<int> want;
            const bool encoded = editor->document()->firstBlock().text().startsWith("$%& ");
            int next = 0;
            for (QTextBlock b = editor->document()->firstBlock(); b.isValid(); b = b.next())
                want << (encoded || b.text().isEmpty() ? -1 : next++);
            return want;
        };
        auto at = [editor](int block, int column) {
            QTextCursor c(editor->document()->findBlockByNumber(block));
            c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
            return c;
        };
        const std::function<void()> edits[] = {
            [&] { at(1, 0).insertText("beep"); },                  // an empty line filled
            [&] { at(0, 2).insertText("\n\nx\n"); },              // lines split and added
            [&] {                                                  // three lines joined
                QTextCursor c = at(1, 0);
                c.setPosition(at(4, 1).position(), QTextCursor::KeepAnchor);
                c.removeSelectedText();
            },
            [&] {                                                  // a line emptied
                QTextCursor c = at(2, 0);
                c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
                c.removeSelectedText();
            },
            [&] { editor->undo(); },
            [&] { editor->undo(); },
            [&] { editor->redo(); },
            [&] { at(0, 0).insertText("$%& "); },                 // encoded: no numbers
            [&] { editor->undo(); },
            [&] {                                                  // the last line's break removed
                QTextCursor c(editor->document());
                c.movePosition(QTextCursor::End);
                c.deletePreviousChar();
                c.deletePreviousChar();
            },
            [&] { editor->selectAll(); editor->textCursor().removeSelectedText(); },
            [&] { QTextCursor(editor->document()).insertText("a\n\nb\n"); },
        };
        s.window.setEditorText("beep\r\n\r\nwait(1)\r\n' note\r\n\r\nbeep");
        QCOMPARE(numbers(), expected());
        int step = 0;
        for (const auto& edit : edits) {
            edit();
            QVERIFY2(numbers() == expected(), qPrintable(QString("after edit %1").arg(step)));
            ++step;
        }
    }

    // The caption's mark follows the document: typing sets it, undoing back
    // to the saved text takes it away.
    void captionMarkFollowsTheDocument() {
        Setup s;
        auto* editor = static_cast<qt::EditorBox*>(s.window.control("Text1"));
        QVERIFY(!s.window.windowTitle().startsWith('*'));
        editor->setFocus();
        QTest::keyClicks(editor, "beep");
        QVERIFY(s.window.windowTitle().startsWith('*'));
        while (editor->document()->isUndoAvailable()) editor->undo();
        QVERIFY(!s.window.windowTitle().startsWith('*'));
        QTest::keyClicks(editor, "x");
        QVERIFY(s.window.windowTitle().startsWith('*'));
    }

    // A long text is coloured where it is shown: its first lines at once,
    // the others when scrolled to.
    void longTextColouredWhereShown() {
        Setup s;
        auto* editor = static_cast<qt::EditorBox*>(s.window.control("Text1"));
        std::string text;
        for (int i = 0; i < 20000; ++i) text += i % 2 ? "wiat(1)\r\n" : "beep\r\n";
        s.window.show();
        s.window.setEditorText(text);
        QApplication::processEvents();
        auto formatAt = [editor](int block) {
            const QTextBlock b = editor->document()->findBlockByNumber(block);
            return b.layout()->formats().isEmpty() ? QTextCharFormat() : b.layout()->formats().first().format;
        };
        QCOMPARE(formatAt(0).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatAt(1).underlineStyle(), QTextCharFormat::WaveUnderline);
        QVERIFY(editor->document()->findBlockByNumber(15000).layout()->formats().isEmpty());  // not yet shown
        editor->verticalScrollBar()->setValue(15000);
        QApplication::processEvents();
        QTRY_COMPARE(formatAt(15000).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatAt(15001).underlineStyle(), QTextCharFormat::WaveUnderline);
        QCOMPARE(editor->runNumber(15001), 15001);
    }

    // A long text goes in by pieces: it comes back whole (a character beyond
    // 16 bits on a piece's edge too), with nothing to undo, the caret at its
    // start and every line numbered.
    void longTextLoadsWhole() {
        Setup s;
        auto* editor = static_cast<qt::EditorBox*>(s.window.control("Text1"));
        const qsizetype piece = qt::MainWindowQt::kEditorPiece;
        const qsizetype lines = (piece - 1) / 10;
        std::string text;
        for (qsizetype i = 0; i < lines; ++i) text += "abcdefghi\r\n";  // ten units each in the widget
        text += std::string(static_cast<std::size_t>((piece - 1) % 10), 'a') + "\xF0\x9F\x98\x80" "b\r\n";
        for (int i = 0; i < 50000; ++i) text += "wait(1)\r\n";
        text += "end";
        s.window.setEditorTextUtf8(text);
        QVERIFY(editor->document()->toRawText().at(piece - 1).isHighSurrogate());
        QVERIFY(s.window.editorTextUtf8() == text);
        QVERIFY(!editor->document()->isUndoAvailable());
        QCOMPARE(editor->textCursor().position(), 0);
        const int last = editor->document()->blockCount() - 1;
        QCOMPARE(last, int(lines) + 50001);
        QCOMPARE(editor->runNumber(last), last);
        // Typing after it is undone as usual.
        QTest::keyClicks(editor, "x");
        QVERIFY(editor->document()->isUndoAvailable());
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
