// velmora: the window.

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/form1.h"
#include "core/installation.h"
#include "core/standard_streams.h"
#include "core/version.h"

namespace {

// Answered before Qt starts, so that they work without a display (the man
// page is made from them).
constexpr char kUsage[] =
    "Usage: velmora [--help] [--version]\n"
    "Opens Velmora's window: paste lncRNA sequences (FASTA), choose how miRNA binding sites are\n"
    "predicted, press Predict, and read the diseases the lncRNAs are associated with.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Print this help message and exit\n"
    "  --version      Print the version and exit\n"
    "\n"
    "The window keeps each run's files in the same workspace as velmora-cli (see velmora-cli --help).\n";

}  // namespace

int main(int argc, char** argv) {
  velmora::OpenMissingStandardStreams();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("velmora %s\n", velmora::kVersion);
      return 0;
    }
  }
  QApplication application(argc, argv);
  velmora::Form1 window(velmora::ProgramFolder());
  window.show();
  return QApplication::exec();
}
