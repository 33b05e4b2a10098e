// The fixed layout of the main window: command column, page control with
// its pages, greeting page and service console.
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <array>
#include <vector>

#include "app/Unit1.h"
#include "app/clickable_label.h"
#include "app/first_shown.h"
#include "app/fit_text.h"
#include "app/pictures.h"
#include "app/qt_text.h"
#include "app/settings_pages.h"
#include "app/web_address.h"
#include "app/window_fonts.h"
#include "settings/catalogue.h"
#include "settings/command_captions.h"
#include "settings/greeting.h"

namespace {

constexpr QSize kGlyph(32, 32);
constexpr QSize kLogoPicture(430, 274);
// What a page's frame takes off the page control's size on any style.
constexpr int kPageFrame = 8;

QLabel* PlainLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QToolButton* CommandButton(const QString& name, const QString& caption, const QString& glyph,
                           const QRect& place, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(caption);
  button->setIcon(QIcon(qvx::Picture(glyph, kGlyph)));
  button->setIconSize(kGlyph);
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setGeometry(place);
  return button;
}

}  // namespace

void TForm1::BuildLeftColumn() {
  Label19 = PlainLabel("Label19", qvx::Q(qvx::kPortCaption), this);
  Label19->setGeometry(40, 16, 36, 16);

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setEditable(true);  // a port name may also be typed
  // A typed name is used as it stands; the list keeps only the ports found.
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setGeometry(24, 32, 81, 24);

  N2 = CommandButton("N2", qvx::Q(qvx::kOpenCaption), "open", QRect(16, 72, 89, 97), this);
  N3 = CommandButton("N3", qvx::Q(qvx::kSaveCaption), "save", QRect(16, 168, 89, 97), this);
  BitBtn1 =
      CommandButton("BitBtn1", qvx::Q(qvx::kReadCaption), "read", QRect(16, 264, 89, 97), this);

  // The greyed "Записать" lies behind BitBtn2 and shows while it is hidden.
  Image2 = new QLabel(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(14, 358, 105, 105);
  Image2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image2->setPixmap(qvx::Picture("write_disabled", QSize(91, 102)));

  BitBtn2 =
      CommandButton("BitBtn2", qvx::Q(qvx::kWriteCaption), "write", QRect(16, 360, 89, 97), this);
  BitBtn2->raise();

  Label87 = PlainLabel("Label87", "v." QUORVEX_VERSION, this);
  Label87->move(16, 552);
  Label87->adjustSize();
}

void TForm1::BuildPageControl() {
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setGeometry(120, 0, 881, 569);
  QTabBar* tabs = PageControl1->tabBar();
  tabs->setFont(qvx::WindowFont(12));

  std::array<QWidget**, 11> pages = {&TabSheet1, &TabSheet2,  &TabSheet3, &TabSheet4,
                                     &TabSheet5, &TabSheet6,  &TabSheet7, &TabSheet8,
                                     &TabSheet9, &TabSheet10, &TabSheet11};
  const auto& captions = qvx::TabCaptions();
  std::vector<QWidget*> settings_pages;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    PageControl1->addTab(page, qvx::Q(captions.at(i)));
    *pages[i] = page;
    if (i > 0) settings_pages.push_back(page);
  }
  // Whatever the desktop's font, all eleven tabs stay in view.
  qvx::FitTabsIntoWidth(tabs, PageControl1->width() - kPageFrame);
  BuildGreetingPage();
  qvx::BuildSettingsPages(settings_pages, *settings_);
  PageControl1->setCurrentIndex(0);
  PageControl1->raise();  // covers the service console
  // The page control places its page stack when it is first shown. Unsized
  // until then, the stack would first be fitted to the contents of all
  // eleven pages, laying out ten hidden pages before the first paint; each
  // page is laid out when it is first shown instead.
  // The pages' parent is that stack.
  if (QWidget* stack = TabSheet1->parentWidget()) stack->resize(PageControl1->size());
}

void TForm1::FitSettingsPages() {
  const QSize room(
      PageControl1->width() - kPageFrame,
      PageControl1->height() - PageControl1->tabBar()->sizeHint().height() - kPageFrame);
  // Each page when it is first shown: measuring all ten would lay them all
  // out before the window's first paint, which shows only the greeting.
  for (int i = 1; i < PageControl1->count(); ++i) {
    QWidget* page = PageControl1->widget(i);
    qvx::WhenFirstShown(page, [page, room] { qvx::FitPageIntoRoom(page, room); });
  }
}

void TForm1::BuildGreetingPage() {
  StaticText16 = PlainLabel("StaticText16", qvx::Q(qvx::kGreetingTitle), TabSheet1);
  StaticText16->setFont(qvx::DisplayFont(33));
  qvx::FitLabelIntoWidth(StaticText16, PageControl1->width() - kPageFrame - 104);
  StaticText16->move(104, 8);
  StaticText16->adjustSize();

  // The greeting lines, top to bottom, in the order of the shared table.
  QLabel** const members[] = {&StaticText17, &StaticText18, &StaticText19, &StaticText20,
                              &StaticText21, &StaticText23, &StaticText24, &StaticText22};
  static_assert(std::size(members) == qvx::kGreetingLines.size());
  std::vector<QRect> line_places;
  for (std::size_t i = 0; i < std::size(members); ++i) {
    const qvx::GreetingLine& line = qvx::kGreetingLines[i];
    QLabel*& label = *members[i];
    label = PlainLabel(qvx::Q(line.name), qvx::Q(line.text), TabSheet1);
    label->move(0, line.top);
    label->adjustSize();
    line_places.push_back(label->geometry());
  }

  // The logo fills the bottom right of its box as far as the greeting lines
  // leave it room: a wide desktop font makes it smaller, never covered.
  Image1 = new QLabel(TabSheet1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(452, 4, 423, 337);
  Image1->setAlignment(Qt::AlignRight | Qt::AlignBottom);
  const QRect logo = qvx::PictureClearOfTexts(Image1->geometry(), kLogoPicture, line_places);
  if (!logo.isEmpty()) Image1->setPixmap(qvx::Picture("logo", logo.size()));

  Label86 = new qvx::ClickableLabel(qvx::kWebAddressCaption, TabSheet1);
  Label86->setObjectName("Label86");
  Label86->setTextFormat(Qt::PlainText);
  Label86->setFont(qvx::DisplayFont(40));
  qvx::FitLabelIntoWidth(Label86, 477);
  Label86->setGeometry(144, 496, 477, 45);
  Label86->setCursor(Qt::PointingHandCursor);
}

void TForm1::BuildConsole() {
  auto memo = [this](const QString& name, const QRect& place) {
    auto* edit = new QPlainTextEdit(name, this);
    edit->setObjectName(name);
    edit->setGeometry(place);
    return edit;
  };
  Memo1 = memo("Memo1", QRect(480, 8, 233, 161));
  Memo2 = memo("Memo2", QRect(712, 8, 257, 161));
  Memo3 = memo("Memo3", QRect(504, 200, 249, 129));

  auto button = [this](const QString& name, const QString& caption, const QRect& place) {
    auto* push = new QPushButton(caption, this);
    push->setObjectName(name);
    push->setGeometry(place);
    return push;
  };
  Button4 = button("Button4", "Закрыть ком-порт", QRect(840, 192, 129, 33));
  Button5 = button("Button5", "Открыть ком-порт", QRect(592, 352, 137, 41));
  Button6 = button("Button6", "Отправить", QRect(800, 256, 145, 25));
  Button7 = button("Button7", "STOP", QRect(504, 352, 57, 41));

  const std::array<QLineEdit**, 15> edits = {&Edit1,  &Edit2,  &Edit3,  &Edit4,  &Edit5,
                                             &Edit6,  &Edit7,  &Edit8,  &Edit9,  &Edit10,
                                             &Edit11, &Edit12, &Edit13, &Edit14, &Edit15};
  const std::array<const char*, 15> texts = {"111111", "111111", "111111", "000000", "000000",
                                             "000000", "111111", "123911", "111112", "111111",
                                             "000000", "000000", "000000", "000000", "000000"};
  for (std::size_t i = 0; i < edits.size(); ++i) {
    auto* edit = new QLineEdit(texts[i], this);
    edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    edit->setGeometry(200, 39 + 24 * static_cast<int>(i), 129, 21);
    *edits[i] = edit;
  }

  const std::array<QLabel**, 3> dots = {&StaticText2, &StaticText3, &StaticText4};
  const std::array<int, 3> lefts = {562, 594, 628};
  for (std::size_t i = 0; i < dots.size(); ++i) {
    QLabel* dot = PlainLabel(QStringLiteral("StaticText%1").arg(i + 2), ".", this);
    QFont bold = dot->font();
    bold.setBold(true);
    dot->setFont(bold);
    dot->setGeometry(lefts[i], 344, 8, 20);
    *dots[i] = dot;
  }

  // The page control covers the console, so the keyboard must not wander
  // into it either: Tab would vanish into an unseen memo.
  const QList<QWidget*> covered = {Memo1, Memo2, Memo3, Button4, Button5, Button6, Button7};
  for (QWidget* control : covered) control->setFocusPolicy(Qt::NoFocus);
  for (QLineEdit** edit : edits) (*edit)->setFocusPolicy(Qt::NoFocus);
}
