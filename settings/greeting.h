// The texts of the greeting page, shared by the window and the page: the
// title, the instruction lines top to bottom with the window's control names
// and places, and the maker's web address. Their blanks belong to the texts.
#pragma once

#include <array>
#include <string_view>

namespace qvx {

struct GreetingLine {
  std::string_view name;  // the window's control name, "StaticText17"
  int top = 0;            // the window's place, in pixels from the page's top
  std::string_view text;
};

inline constexpr std::string_view kGreetingTitle = "Вас приветствует конфигуратор  QUORVEX";

inline constexpr std::array<GreetingLine, 8> kGreetingLines{{
    {"StaticText17", 72,
     "Соедините охранное устройство с  компьютером,  через USB-программатор QUORVEX  FLASH"},
    {"StaticText18", 96,
     " (возможно потребуется установка драйвера). Установите Sim-карту в прибор, подайте"},
    {"StaticText19", 120,
     " питание на охранное устройство, дождитесь регистрации в сети (зеленый светодиод"},
    {"StaticText20", 144,
     " будет мигать).Измените нужные настройки, выберете из выпадающего меню порт "},
    {"StaticText21", 168, "соответствующий USB-программатору. Нажмите кнопку \"Записать\". "},
    {"StaticText23", 192, "Все записи с Sim-карты могут быть удалены. Дождитесь трех длинных"},
    {"StaticText24", 216, "звуковых сигналов, обозначающих окончание записи."},
    {"StaticText22", 240, "Все настройки будут сохранены в памяти Sim-карты устройства. "},
}};

inline constexpr std::string_view kGreetingWebCaption = "WWW.QUORVEX.COM";
inline constexpr std::string_view kGreetingWebAddress = "http://www.quorvex.com";

}  // namespace qvx
