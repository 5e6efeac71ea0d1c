// marrowick-batch: every section file through both analyses, no window.
#include <QGuiApplication>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/runtime_directory.h"

int main(int argc, char** argv) {
  using namespace marrowick;
  BatchOptions options;
  try {
    options = ReadBatchOptions(std::vector<std::string>(argv + 1, argv + argc),
                               static_cast<int>(std::thread::hardware_concurrency()));
  } catch (const Failure& failure) {
    std::fprintf(stderr, "marrowick-batch: %s\n%s\n", failure.Message().c_str(), kBatchUsage);
    return 2;
  }
  if (options.help) {
    std::printf("%s\n", kBatchUsage);
    return 0;
  }

  // A closed standard error must not end the batch while its solvers run.
  std::signal(SIGPIPE, SIG_IGN);
  // The charts draw their labels with the toolkit's fonts, which need a GUI
  // application but no display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ProvideRuntimeDirectory();
  int qt_argc = 1;
  QGuiApplication application(qt_argc, argv);
  // Chart labels follow the regional decimal symbol, as in the window; the
  // number conversions themselves run in the C locale.
  std::setlocale(LC_NUMERIC, "");
  ReadRegionalDecimal();
  std::setlocale(LC_NUMERIC, "C");
  try {
    return RunBatch(options);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "marrowick-batch: %s\n", failure.what());
    return 1;
  }
}
