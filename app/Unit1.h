// The main window: the command column, the page control with the greeting
// page and the ten settings pages, and the service console behind it. The
// window is glue: the settings live in its controls (ControlSettings), the
// logic lives in settings/, config_file/ and device/.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "app/control_settings.h"
#include "app/file_dialog.h"
#include "app/form1_controls.h"
#include "app/message_boxes.h"
#include "device/device_link.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;
class TForm2;

namespace qvx {
class ClickableLabel;
class WindowCommandView;
class WindowLinkHost;
}  // namespace qvx

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // The window on the computer's serial ports.
  explicit TForm1(QWidget* parent = nullptr);
  // The window on the given port (PortHandle); tests pass their own.
  explicit TForm1(std::unique_ptr<qvx::device::SerialPort> port, QWidget* parent = nullptr);
  ~TForm1() override;

  // The settings as the rest of the program reads and writes them.
  qvx::Settings& Settings() { return *settings_; }
  // The link state: PortOpen, PortName, OpenPortName, ReceiveBuffer, StopReading...
  qvx::device::LinkState& Link() { return link_->state; }
  // The port the link opens (PortHandle), for the cause of a failed open.
  const qvx::device::SerialPort& PortHandle() const { return *port_; }

  qvx::MessageBoxes& Messages() { return *messages_; }
  // Replaces the message boxes (tests record them instead).
  void SetMessageBoxes(std::unique_ptr<qvx::MessageBoxes> boxes) { messages_ = std::move(boxes); }
  // The about window that N4Click shows.
  void SetAboutWindow(TForm2* about) { about_ = about; }
  // A file named on the command line (the bytes of its name as argv gave
  // them) opened as "Открыть" opens a chosen name: the same checks and
  // messages, nothing changed on a refusal. Without a name nothing happens.
  void OpenFileNamedOnCommandLine(const std::optional<std::string>& name);

  // Left column.
  QLabel* Label19;
  QComboBox* ComboBox1;
  QToolButton* N2;
  QToolButton* N3;
  QToolButton* BitBtn1;
  QToolButton* BitBtn2;
  QLabel* Image2;
  QLabel* Label87;

  // Page control and its pages.
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QWidget* TabSheet4;
  QWidget* TabSheet5;
  QWidget* TabSheet6;
  QWidget* TabSheet7;
  QWidget* TabSheet8;
  QWidget* TabSheet9;
  QWidget* TabSheet10;
  QWidget* TabSheet11;

  // Greeting page.
  QLabel* Image1;
  QLabel* StaticText16;
  QLabel* StaticText17;
  QLabel* StaticText18;
  QLabel* StaticText19;
  QLabel* StaticText20;
  QLabel* StaticText21;
  QLabel* StaticText22;
  QLabel* StaticText23;
  QLabel* StaticText24;
  qvx::ClickableLabel* Label86;

  // Settings controls, built from the catalogue.
#define QVX_DECLARE(name) QComboBox* name = nullptr;
  QVX_FORM1_LISTS(QVX_DECLARE)
#undef QVX_DECLARE
#define QVX_DECLARE(name) QSlider* name = nullptr;
  QVX_FORM1_SLIDERS(QVX_DECLARE)
#undef QVX_DECLARE
#define QVX_DECLARE(name) QRadioButton* name = nullptr;
  QVX_FORM1_RADIOS(QVX_DECLARE)
#undef QVX_DECLARE
#define QVX_DECLARE(name) QLineEdit* name = nullptr;
  QVX_FORM1_EDITS(QVX_DECLARE)
#undef QVX_DECLARE
#define QVX_DECLARE(name) QLabel* name = nullptr;
  QVX_FORM1_SLIDER_LABELS(QVX_DECLARE)
#undef QVX_DECLARE

  // Service console, behind the page control.
  QPlainTextEdit* Memo1;
  QPlainTextEdit* Memo2;
  QPlainTextEdit* Memo3;
  QPushButton* Button4;
  QPushButton* Button5;
  QPushButton* Button6;
  QPushButton* Button7;
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QLineEdit* Edit4;
  QLineEdit* Edit5;
  QLineEdit* Edit6;
  QLineEdit* Edit7;
  QLineEdit* Edit8;
  QLineEdit* Edit9;
  QLineEdit* Edit10;
  QLineEdit* Edit11;
  QLineEdit* Edit12;
  QLineEdit* Edit13;
  QLineEdit* Edit14;
  QLineEdit* Edit15;
  QLabel* StaticText2;
  QLabel* StaticText3;
  QLabel* StaticText4;

  // Non-visual parts.
  QTimer* Timer1;
  std::unique_ptr<qvx::FileDialog> OpenDialog1;
  std::unique_ptr<qvx::FileDialog> SaveDialog1;

  // Handlers.
  void ListComPorts();
  void FormCreate();
  void N2Click();
  void N3Click();
  void BitBtn1Click();
  void BitBtn2Click();
  void Timer1Timer();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Label86Click();
  void N4Click();
  void TrackBar2Change();
  void TrackBar884Change();
  void TrackBar10102Change();
  void TrackBar12126Change();
  void Edit1Change();

 signals:
  // The main window was closed; the application ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildLeftColumn();
  void BuildPageControl();
  void BuildGreetingPage();
  // Once the lists hold their options: smaller fonts where a page's texts
  // would not fit the page control.
  void FitSettingsPages();
  void BuildConsole();
  void BindSettingsControls();
  void ConnectHandlers();

  std::unique_ptr<qvx::ControlSettings> settings_;
  std::unique_ptr<qvx::MessageBoxes> messages_;
  std::unique_ptr<qvx::device::SerialPort> port_;
  std::unique_ptr<qvx::WindowLinkHost> host_;
  std::unique_ptr<qvx::WindowCommandView> view_;
  std::unique_ptr<qvx::device::DeviceLink> link_;
  TForm2* about_ = nullptr;
};

// The application's main window.
extern TForm1* Form1;
