#include "app/Unit1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <stdexcept>

#include "app/Unit2.h"
#include "app/clickable_label.h"
#include "app/command_shortcuts.h"
#include "app/device_glue.h"
#include "app/pictures.h"
#include "app/qt_text.h"
#include "app/web_address.h"
#include "app/window_fonts.h"
#include "config_file/file_commands.h"
#include "device/device_commands.h"
#include "device/qt_serial_port.h"
#include "settings/catalogue.h"
#include "settings/slider_rules.h"
#include "sim/simulated_ports.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : TForm1(std::make_unique<qvx::device::QtSerialPort>(), parent) {}

TForm1::TForm1(std::unique_ptr<qvx::device::SerialPort> port, QWidget* parent)
    : QWidget(parent),
      settings_(new qvx::ControlSettings),
      messages_(new qvx::QtMessageBoxes),
      port_(std::move(port)),
      host_(new qvx::WindowLinkHost(*this)),
      view_(new qvx::WindowCommandView(*this)),
      link_(new qvx::device::DeviceLink(*port_, *host_, qvx::ListSimulatedPorts)) {
  setObjectName("Form1");
  setWindowTitle("Quorvex");
  setWindowIcon(qvx::ApplicationIcon());
  setFont(qvx::WindowFont(13));
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFixedSize(1017, 608);

  BuildLeftColumn();
  BuildConsole();  // before the page control, which then covers it
  BuildPageControl();
  setTabOrder(ComboBox1, N2);
  setTabOrder(N2, N3);
  setTabOrder(N3, BitBtn1);
  setTabOrder(BitBtn1, BitBtn2);
  setTabOrder(BitBtn2, PageControl1);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(qvx::device::kReceptionWindowMs);
  Timer1->setSingleShot(true);

  OpenDialog1 = std::make_unique<qvx::QtFileDialog>(qvx::QtFileDialog::Mode::Open);
  SaveDialog1 = std::make_unique<qvx::QtFileDialog>(qvx::QtFileDialog::Mode::Save);

  settings_->RequireEveryControl();
  ConnectHandlers();

  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  ListComPorts();
  FormCreate();
  FitSettingsPages();
}

TForm1::~TForm1() = default;

void TForm1::ConnectHandlers() {
  // Only a user's move reaches these: the settings block the sliders'
  // signals while they store positions and minimums.
  const auto slider_moved = [this](std::string_view slider, void (TForm1::*handler)()) {
    connect(settings_->Slider(slider), &QSlider::valueChanged, this, handler);
  };
  slider_moved(qvx::kHighThresholdSlider, &TForm1::TrackBar2Change);
  slider_moved(qvx::kLowThresholdSlider, &TForm1::TrackBar2Change);
  slider_moved("TrackBar884", &TForm1::TrackBar884Change);
  slider_moved("TrackBar10102", &TForm1::TrackBar10102Change);
  slider_moved("TrackBar12126", &TForm1::TrackBar12126Change);
  connect(N2, &QToolButton::clicked, this, &TForm1::N2Click);
  connect(N3, &QToolButton::clicked, this, &TForm1::N3Click);
  connect(BitBtn1, &QToolButton::clicked, this, &TForm1::BitBtn1Click);
  connect(BitBtn2, &QToolButton::clicked, this, &TForm1::BitBtn2Click);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TForm1::Button7Click);
  connect(Label86, &qvx::ClickableLabel::clicked, this, &TForm1::Label86Click);
  connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
  auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(about, &QShortcut::activated, this, &TForm1::N4Click);
  qvx::AddCommandShortcuts(*this);
}

void TForm1::ListComPorts() {
  ComboBox1->clear();
  for (const std::string& name : link_->ListComPorts()) ComboBox1->addItem(qvx::Q(name));
  if (ComboBox1->currentIndex() < 0 && ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
}

void TForm1::FormCreate() {
  link_->state.PortOpen = false;
  link_->state.PortSettings = std::string(qvx::device::kLineDefinition);
  for (const qvx::SettingInfo& setting : qvx::Catalogue()) {
    if (setting.kind != qvx::SettingKind::List) continue;
    QComboBox* list = settings_->List(setting.name);
    list->clear();
    for (std::string_view option : setting.options) list->addItem(qvx::Q(option));
    list->setCurrentIndex(setting.default_value);
  }
  qvx::ShowSliderLabels(*settings_);
}

void TForm1::N2Click() {
  qvx::OpenSettingsCommand(*settings_, OpenDialog1->Execute(), *messages_);
}

void TForm1::OpenFileNamedOnCommandLine(const std::optional<std::string>& name) {
  if (name) qvx::OpenSettingsCommand(*settings_, *name, *messages_);
}

void TForm1::N3Click() {
  qvx::SaveSettingsCommand(
      *settings_, [this] { return SaveDialog1->Execute(); }, *messages_);
}

void TForm1::BitBtn1Click() {
  qvx::device::ReadCommand(*link_, *settings_, qvx::U(ComboBox1->currentText()), *view_);
}

void TForm1::BitBtn2Click() {
  qvx::device::WriteCommand(*link_, *settings_, qvx::U(ComboBox1->currentText()), *view_);
}

void TForm1::Timer1Timer() {
  qvx::device::ReceptionTimerFired(*link_, *settings_, *view_);
}

void TForm1::Button4Click() {
  link_->CloseComPort();
}

void TForm1::Button5Click() {
  qvx::device::ListenCommand(*link_, *settings_, qvx::U(ComboBox1->currentText()), *view_);
}

void TForm1::Button6Click() {
  // The memo's lines go out separated by CR LF.
  QString text = Memo2->toPlainText();
  text.replace('\n', QStringLiteral("\r\n"));
  link_->WriteComPort(qvx::ConsoleBytes(text));
}

void TForm1::Button7Click() {
  qvx::device::StopReadingCommand(*link_, *view_);
  Memo3->appendPlainText(QStringLiteral("чтение ----"));
}

void TForm1::Label86Click() {
  QDesktopServices::openUrl(QUrl(qvx::kWebAddress));
}

void TForm1::N4Click() {
  if (about_ == nullptr) return;
  // A minimised about window comes back to the front like a hidden one.
  if (about_->isMinimized())
    about_->showNormal();
  else
    about_->show();
  about_->raise();
  about_->activateWindow();
}

void TForm1::TrackBar2Change() {
  qvx::TrackBar2Change(*settings_);
}

void TForm1::TrackBar884Change() {
  qvx::SliderChanged(*settings_, "TrackBar884");
}

void TForm1::TrackBar10102Change() {
  qvx::SliderChanged(*settings_, "TrackBar10102");
}

void TForm1::TrackBar12126Change() {
  qvx::SliderChanged(*settings_, "TrackBar12126");
}

void TForm1::Edit1Change() {}

void TForm1::closeEvent(QCloseEvent* event) {
  // A read loop waiting in a handler below ends after its current pause.
  link_->state.StopReading = true;
  Timer1->stop();
  QWidget::closeEvent(event);
  emit Closed();
}
