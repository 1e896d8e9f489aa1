// A window for the Wayland desktop tests: it records every key press (the
// Qt key, the modifiers and its text), every button press with its place in
// the window, and every wheel turn, a line each, to the file named by its
// argument; the plain text the keys typed goes, byte for byte (UTF-8), to
// that name with ".text" added.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {

class Recorder : public QWidget {
public:
    Recorder(QFile& log, QFile& text) : log_(log), text_(text) {}

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const auto mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        QString name = QString::number(e->key(), 16);
        write(QString("key:%1 mods:%2 text:%3")
                  .arg(name)
                  .arg(QString::number(mods.toInt(), 16))
                  .arg(QString::fromLatin1(e->text().toUtf8().toHex())));
        // What a text field would take: printable text with no Control or Alt.
        if (!(mods & (Qt::ControlModifier | Qt::AltModifier)) && !e->text().isEmpty() && e->text()[0] >= QChar(0x20) &&
            e->text()[0] != QChar(0x7f)) {
            text_.write(e->text().toUtf8());
            text_.flush();
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        write(QString("press:%1 %2 %3")
                  .arg(int(e->button()))
                  .arg(int(e->position().x()))
                  .arg(int(e->position().y())));
    }
    void mouseReleaseEvent(QMouseEvent* e) override { write(QString("release:%1").arg(int(e->button()))); }
    void wheelEvent(QWheelEvent* e) override { write(QString("wheel:%1").arg(e->angleDelta().y())); }

private:
    void write(const QString& line) {
        log_.write((line + "\n").toUtf8());
        log_.flush();
    }
    QFile& log_;
    QFile& text_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QFile log(QString::fromLocal8Bit(argv[1]));
    QFile text(QString::fromLocal8Bit(argv[1]) + ".text");
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        !text.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return 2;
    Recorder window(log, text);
    window.setWindowTitle("input recorder");
    window.resize(400, 300);
    window.setFocusPolicy(Qt::StrongFocus);
    window.show();
    window.setFocus();
    log.write("ready\n");
    log.flush();
    return app.exec();
}
