#include <QApplication>

#include "ui/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    skelvane::ui::Form1 window;
    window.show();
    return QApplication::exec();
}
