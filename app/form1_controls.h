// Names of the main window's controls that are built from the settings
// catalogue; TForm1 declares one member of each and binds it by object name.
// C++ cannot declare members from the catalogue's data, so the names are
// listed here once more; startup_test checks that both lists agree.
#pragma once

// clang-format off
#define QVX_FORM1_LISTS(X)                                                                        \
  X(ComboBox11) X(ComboBox21) X(ComboBox31) X(ComboBox41) X(ComboBox51) X(ComboBox61)             \
  X(ComboBox12) X(ComboBox22) X(ComboBox32) X(ComboBox42) X(ComboBox52) X(ComboBox62)             \
  X(ComboBox13) X(ComboBox23) X(ComboBox33) X(ComboBox43) X(ComboBox53) X(ComboBox63)             \
  X(ComboBox14) X(ComboBox24) X(ComboBox34) X(ComboBox44) X(ComboBox54) X(ComboBox64)             \
  X(ComboBox551) X(ComboBox552) X(ComboBox553) X(ComboBox554) X(ComboBox555) X(ComboBox556)       \
  X(ComboBox771) X(ComboBox772) X(ComboBox773) X(ComboBox774) X(ComboBox775) X(ComboBox776)       \
  X(ComboBox881) X(ComboBox882) X(ComboBox883) X(ComboBox885) X(ComboBox886)                      \
  X(ComboBox991) X(ComboBox992) X(ComboBox993) X(ComboBox994) X(ComboBox995) X(ComboBox996)       \
  X(ComboBox10101) X(ComboBox10103) X(ComboBox10104) X(ComboBox10105) X(ComboBox10106)            \
  X(ComboBox11111) X(ComboBox11112) X(ComboBox11113) X(ComboBox11114) X(ComboBox11115)            \
  X(ComboBox11116)                                                                                \
  X(ComboBox12121) X(ComboBox12122) X(ComboBox12123) X(ComboBox12124) X(ComboBox12125)            \
  X(ComboBox13133) X(ComboBox13135) X(ComboBox13136)                                              \
  X(ComboBox14142) X(ComboBox14143) X(ComboBox14144)

#define QVX_FORM1_SLIDERS(X) \
  X(TrackBar2) X(TrackBar1) X(TrackBar884) X(TrackBar10102) X(TrackBar12126)

#define QVX_FORM1_RADIOS(X)                                                                       \
  X(RadioButton131311) X(RadioButton131312) X(RadioButton131313)                                  \
  X(RadioButton131321) X(RadioButton131322)                                                       \
  X(RadioButton131341) X(RadioButton131342)                                                       \
  X(RadioButton141411) X(RadioButton141412)

#define QVX_FORM1_EDITS(X)                                                                        \
  X(Edit16) X(Edit17) X(Edit18) X(Edit19) X(Edit20) X(Edit21) X(Edit22) X(Edit23) X(Edit24)       \
  X(Edit25) X(Edit26) X(Edit27) X(Edit28) X(Edit29) X(Edit30)

#define QVX_FORM1_SLIDER_LABELS(X) \
  X(Label32) X(Label39) X(Label40) X(Label41) X(Label42) X(Label43) X(Label58) X(Label70) X(Label84)
// clang-format on
