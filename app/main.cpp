// velmora: the window.

#include <QApplication>

#include "app/form1.h"
#include "core/installation.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  velmora::Form1 window(velmora::ProgramFolder());
  window.show();
  return QApplication::exec();
}
