// The about window: the maker's logo and the program version. Created once,
// hidden; showing it again brings the same window to the front.
#pragma once

#include <QWidget>

class QLabel;

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);

  QLabel* Image1;
  QLabel* Label1;
};

extern TForm2* Form2;
