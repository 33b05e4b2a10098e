// Start-up: the application titled "Quorvex", the main window with its port
// list and defaults, the about and auxiliary windows hidden, a file named on
// the command line opened, then the event loop until the main window closes.
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/application.h"
#include "app/pictures.h"
#include "app/startup_probe.h"
#include "app/window_arguments.h"

int main(int argc, char** argv) {
  const qvx::WindowArguments arguments =
      qvx::ParseWindowArguments(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
  if (const int status = qvx::AnswerWithoutWindow(arguments, std::cout, std::cerr); status >= 0)
    return status;
  // Past a file-size limit a save then fails with its message, instead of
  // the signal ending the program with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  qvx::QuorvexApplication application(argc, argv);
  application.setWindowIcon(qvx::ApplicationIcon());
  try {
    TForm1 form1;
    Form1 = &form1;
    TForm2 form2;
    Form2 = &form2;
    form1.SetAboutWindow(&form2);
    TForm3 form3;
    Form3 = &form3;
    QObject::connect(&form1, &TForm1::Closed, &application, &QApplication::quit);
    qvx::WatchFirstPaint(form1);
    form1.show();
    // A file named on the command line (a double-clicked .qvx) opens from the
    // event loop, as "Открыть" does, so its errors are shown the same way.
    QTimer::singleShot(0, &form1, [&] { form1.OpenFileNamedOnCommandLine(arguments.file); });
    return application.exec();
  } catch (const std::exception& error) {
    qvx::ShowErrorText(error.what());
  } catch (...) {
    qCritical("quorvex: an error that is no exception escaped the start-up");
    qvx::ShowErrorText("");
  }
  return 1;
}
