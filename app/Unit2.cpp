#include "app/Unit2.h"

#include <QLabel>

#include "app/pictures.h"
#include "app/qt_text.h"
#include "app/window_fonts.h"
#include "settings/about_texts.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Form2");
  setWindowTitle(qvx::Q(qvx::kAboutTitle));
  setFont(qvx::WindowFontInPoints(8));
  // Outer size 266 x 338 less the frame.
  resize(250, 300);
  move(523, 198);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(25, 8, 200, 105);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->setPixmap(qvx::Picture("about_logo", QSize(200, 104)));

  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setTextFormat(Qt::PlainText);
  Label1->move(25, 144);
  Label1->setText(qvx::Q(qvx::kAboutVersion));
  Label1->adjustSize();
}
