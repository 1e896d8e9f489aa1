// The Qt windows on the offscreen platform: captions, tooltips, menus,
// resizing, keys, and the editor's line breaks.
#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QtTest>

#include "base/cp1252.h"
#include "editor/qt/dialogs_qt.h"
#include "editor/qt/main_window_qt.h"
#include "tests/support/recording_platform.h"

using namespace torvic;

class WindowTest : public QObject {
    Q_OBJECT

    struct Setup {
        RecordingPlatform platform;
        qt::MainWindowQt window;
        qt::FrmMissatgeQt missatgeView;
        FrmMissatge missatge{missatgeView};
        qt::FrmSubstituirQt substituirView;
        FrmSubstituir substituir{substituirView};
        Torvic torvic{window, platform, missatge, substituir};
        int endRequests = 0;
        Setup() {
            missatgeView.attach(&missatge);
            substituirView.attach(&substituir);
            window.attach(&torvic);
            window.endHook = [this] { endRequests++; };
            torvic.currentDirectory = [] { return std::string("/tmp"); };
            window.show();
            torvic.Form_Load("");
        }
    };

    QString caption(QWidget* w) {
        if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return {};
    }

private slots:
    void captionsAndTooltips() {
        Setup s;
        QCOMPARE(s.window.windowTitle(),
                 QString::fromUtf8("Torvic XP v1.10   (Comandes de Procés, de tractament de textes, base dades, "
                                   "ratolí, codificació)"));
        struct Row {
            const char* name;
            const char* caption;
            const char* tip;
        } rows[] = {
            {"Frame3", "Fitxer   .torvic:", ""},
            {"Command10", "Navegar i Obrir", "Navega al disc dur i obre el fitxer (Control+O)"},
            {"Command7", "Guardar com..", "Anomena i desa (Control+S)"},
            {"Command1", "-> Obrir", "Obre o recarrega el nom del fitxer escrit"},
            {"Command2", "<- Guardar", "Guarda amb el nom actual"},
            {"Command6", "...", "Busca nom del fitxer al disc dur"},
            {"Frame1", "Línia d'execució:", ""},
            {"Text3", "0", "Línia a executar"},
            {"Frame4", "Posició actual:", ""},
            {"Label7", "Línia:", ""},
            {"Label5", "0", ""},
            {"Label8", "Col:", ""},
            {"Label6", "0", ""},
            {"Frame2", "Procés d'execució:", ""},
            {"Command9", "Executa tot", "Executa des del principi (Majuscules+F5)"},
            {"Command8", "Executa Ocult", "Executar de forma Oculta (Control+F5)"},
            {"Command4", "Stop", "Parar l'execució (F4)"},
            {"Command3", "Cont Exec", "Continuar Execució (F5)"},
            {"Label2", "Majc+F5", ""},
            {"Label3", "Ctrl+F5", ""},
            {"Label4", "F4", ""},
            {"Label1", "F5", ""},
            {"Command5", "End", ""},
        };
        for (const Row& r : rows) {
            QWidget* w = s.window.control(r.name);
            QVERIFY2(w, r.name);
            QCOMPARE(caption(w), QString::fromUtf8(r.caption));
            QCOMPARE(w->toolTip(), QString::fromUtf8(r.tip));
        }
        QVERIFY(s.window.control("Command5")->y() < 0);  // out of sight
        auto* text1 = qobject_cast<QPlainTextEdit*>(s.window.control("Text1"));
        QCOMPARE(text1->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(QFontInfo(text1->font()).fixedPitch());
        QVERIFY(qobject_cast<QLineEdit*>(s.window.control("Text4"))->isReadOnly());
        QCOMPARE(qobject_cast<QLineEdit*>(s.window.control("Text2"))->text(), QString("/tmp/"));
    }

    void menus() {
        Setup s;
        QStringList titles;
        for (QAction* a : s.window.menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"&Fitxer", "&Eines", "&Ajuda"}));
        struct Row {
            const char* name;
            const char* caption;
            const char* shortcut;
        } rows[] = {
            {"nou", "&Nou programa", "Ctrl+N"},
            {"buscar", "&Buscar fitxer", "Ctrl+B"},
            {"Obrir", "&Obrir", "Ctrl+O"},
            {"Guardar", "&Guardar", "Ctrl+S"},
            {"Guardarcom", "Guardar &com...", "Ctrl+A"},
            {"Fitxer_Iconitzar", "&Iconitzar", "Ctrl+I"},
            {"Sortir", "&Sortir", ""},
            {"Eines_Codificar", "Codificar/&Descodificar", "Ctrl+D"},
            {"EExecutar", "&Executar", "F5"},
            {"Ocult", "Executa &Ocultat", "Ctrl+F5"},
            {"executartot", "Executar &tot", "Shift+F5"},
            {"Atura", "&Atura el procés", "F4"},
            {"posicio_rat", "&Posició del Ratolí", "Ctrl+P"},
            {"Substituir", "&Substituir", "Ctrl+R"},
            {"comandes", "&Comandes i sintaxis", "F1"},
            {"Ajuda_Imprimir", "&Imprimir manual del programa", ""},
            {"web", "&Web del programa", ""},
            {"sobre", "En quant a Torvic...", ""},
        };
        for (const Row& r : rows) {
            QAction* a = s.window.menuItem(r.name);
            QVERIFY2(a, r.name);
            QCOMPARE(a->text(), QString::fromUtf8(r.caption));
            QCOMPARE(a->shortcut(), QKeySequence(r.shortcut));
        }
        // Separators where the menus have them.
        QStringList fitxer;
        for (QAction* a : s.window.menuBar()->actions().first()->menu()->actions())
            fitxer << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(fitxer, QStringList({"&Nou programa", "&Buscar fitxer", "&Obrir", "&Guardar", "Guardar &com...", "-",
                                      "&Iconitzar", "-", "&Sortir"}));
    }

    void resizeRules() {
        Setup s;
        for (QSize size : {QSize(594, 438), QSize(900, 650)}) {
            s.window.resize(size.width(), size.height() + s.window.menuBar()->height());
            QApplication::processEvents();
            QWidget* central = s.window.centralWidget();
            for (const LayoutStep& step : resizeLayout(central->width(), central->height())) {
                QWidget* w = s.window.control(step.control);
                int actual = step.property == LayoutStep::Left    ? w->x()
                             : step.property == LayoutStep::Top   ? w->y()
                             : step.property == LayoutStep::Width ? w->width()
                                                                  : w->height();
                QCOMPARE(actual, step.pixels);
            }
        }
        QWidget* text1 = s.window.control("Text1");
        QCOMPARE(text1->x(), designRect("Text1").x);  // the left and top stay as designed
        QCOMPARE(text1->y(), designRect("Text1").y);
    }

    void keysReachTheHandlers() {
        Setup s;
        s.window.setEditorText("wait(1000)\r\nbeep");
        QApplication::setActiveWindow(&s.window);
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QWidget* editor = s.window.control("Text1");
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_F5);
        QVERIFY(!s.window.control("Command3")->isEnabled());
        QCOMPARE(s.window.text3(), std::string("0"));
        QTest::keyClick(editor, Qt::Key_F4);
        QVERIFY(s.window.control("Command3")->isEnabled());
        QVERIFY(!s.torvic.ended());
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(s.torvic.ended());
        QCOMPARE(s.endRequests, 1);
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
    }

    void editorKeepsLoneLineBreaks() {
        Setup s;
        const std::string text = "a\nb\r\nc\rd\r\n\r\n\xE0";
        s.window.setEditorText(text);
        QCOMPARE(s.window.editorText(), text);
        auto* editor = qobject_cast<QPlainTextEdit*>(s.window.control("Text1"));
        QTextCursor c = editor->textCursor();
        c.setPosition(6);  // in the widget: "a?b" + break + "c?d" -> just after "c" on the second line
        editor->setTextCursor(c);
        QCOMPARE(s.window.editorCaret(), std::size_t(7));  // the break counts as CR LF
    }

    void missatgeCountsDownAndCloses() {
        qt::FrmMissatgeQt view;
        FrmMissatge m(view);
        view.attach(&m);
        QElapsedTimer t;
        t.start();
        QTimer::singleShot(100, &view, [&] { QCOMPARE(view.secondsLabel()->text(), QString("1")); });
        m.ferMissatge("a", "t", 1);
        QVERIFY(t.elapsed() >= 1500);  // 1, 0, then closed on the next tick
        QCOMPARE(view.windowTitle(), QString("t"));
        QCOMPARE(view.button(2)->text(), QString("Pausar"));
        QCOMPARE(view.button(4)->text(), QString("Acceptar Tots"));
        QCOMPARE(view.exportCheck()->text(), QString("Exportar a Fitxer:"));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);  // as torvic itself does
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "qt_window_test.moc"
