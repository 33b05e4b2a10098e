// The main window: the command column, the page control with the greeting
// page and the ten settings pages, and the service console behind it. The
// window is glue: the settings live in its controls (ControlSettings), the
// logic lives in settings/, config_file/ and device/.
//
// Where it is built: the constructor (Unit1.cpp) makes the fixed parts in
// form1_layout.cpp (left column, page control, greeting page, console) and
// the settings pages in settings_pages.cpp, from the catalogue's tab layouts
// (settings/page_layout.h). The settings controls have no members here: the
// pages enter each one into ControlSettings, the one index from control
// name to widget (Controls()).
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "app/control_settings.h"
#include "app/file_dialog.h"
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
  // The same settings as the index of the settings controls by name.
  qvx::ControlSettings& Controls() { return *settings_; }
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
  QLabel* Label19 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QToolButton* N2 = nullptr;
  QToolButton* N3 = nullptr;
  QToolButton* BitBtn1 = nullptr;
  QToolButton* BitBtn2 = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* Label87 = nullptr;

  // Page control and its pages.
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QWidget* TabSheet4 = nullptr;
  QWidget* TabSheet5 = nullptr;
  QWidget* TabSheet6 = nullptr;
  QWidget* TabSheet7 = nullptr;
  QWidget* TabSheet8 = nullptr;
  QWidget* TabSheet9 = nullptr;
  QWidget* TabSheet10 = nullptr;
  QWidget* TabSheet11 = nullptr;

  // Greeting page.
  QLabel* Image1 = nullptr;
  QLabel* StaticText16 = nullptr;
  QLabel* StaticText17 = nullptr;
  QLabel* StaticText18 = nullptr;
  QLabel* StaticText19 = nullptr;
  QLabel* StaticText20 = nullptr;
  QLabel* StaticText21 = nullptr;
  QLabel* StaticText22 = nullptr;
  QLabel* StaticText23 = nullptr;
  QLabel* StaticText24 = nullptr;
  qvx::ClickableLabel* Label86 = nullptr;

  // Service console, behind the page control.
  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QPlainTextEdit* Memo3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button7 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit7 = nullptr;
  QLineEdit* Edit8 = nullptr;
  QLineEdit* Edit9 = nullptr;
  QLineEdit* Edit10 = nullptr;
  QLineEdit* Edit11 = nullptr;
  QLineEdit* Edit12 = nullptr;
  QLineEdit* Edit13 = nullptr;
  QLineEdit* Edit14 = nullptr;
  QLineEdit* Edit15 = nullptr;
  QLabel* StaticText2 = nullptr;
  QLabel* StaticText3 = nullptr;
  QLabel* StaticText4 = nullptr;

  // Non-visual parts.
  QTimer* Timer1 = nullptr;
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
