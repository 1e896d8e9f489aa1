// A small window for the desktop tests: it logs, one line each, the text of
// its field after every change ("text:..."), every Enter ("line:...") and
// every click of its button ("clicked"), to the file named by its argument.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QFile log(QString::fromLocal8Bit(argv[1]));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return 2;
    auto write = [&log](const QString& line) {
        log.write((line + "\n").toUtf8());
        log.flush();
    };

    QWidget window;
    window.setWindowTitle("key catcher");
    window.setGeometry(0, 0, 400, 300);
    auto* field = new QLineEdit(&window);
    field->setGeometry(10, 10, 300, 30);
    auto* button = new QPushButton("Click", &window);
    button->setGeometry(80, 180, 60, 40);  // (100, 200) lies inside it
    QObject::connect(field, &QLineEdit::textChanged, [&](const QString& t) { write("text:" + t); });
    QObject::connect(field, &QLineEdit::returnPressed, [&] {
        write("line:" + field->text());
        field->clear();
    });
    QObject::connect(button, &QPushButton::clicked, [&] { write("clicked"); });
    window.show();
    field->setFocus();
    write("ready");
    return app.exec();
}
