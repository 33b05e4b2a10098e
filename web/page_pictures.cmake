# Writes the page's index.html into the page folder PAGE from SOURCE, with
# the button pictures PICTURES (paths, by commas, of .svg files: the
# window's, and the page's own where the window has none) put in at
# the "<!-- pictures -->" mark as one hidden block of symbols, each named
# picture-NAME and shown by <use href="#picture-NAME">. Pictures as <img>
# would each be fetched and parsed by the browser as a document of its own,
# which on a small machine costs more than the rest of the page's markup.
#   cmake -DPAGE=folder -DSOURCE=index.html -DPICTURES=dir/a.svg,dir/b.svg -P page_pictures.cmake
include(${CMAKE_CURRENT_LIST_DIR}/write_if_changed.cmake)
set(symbols "")
string(REPLACE "," ";" pictures "${PICTURES}")
foreach(picture IN LISTS pictures)
  get_filename_component(name ${picture} NAME_WE)
  file(READ ${picture} svg)
  string(REGEX REPLACE "<\\?xml[^>]*\\?>" "" svg "${svg}")
  string(REGEX REPLACE "<!--[^>]*-->" "" svg "${svg}")
  string(REGEX MATCH "viewBox=\"[^\"]*\"" view_box "${svg}")
  if(NOT view_box)
    message(FATAL_ERROR "${picture}: no viewBox")
  endif()
  # The pictures' own ids (their gradients) get the picture's name in front,
  # so that two pictures in one page cannot take each other's.
  string(REGEX REPLACE " id=\"([^\"]*)\"" " id=\"${name}-\\1\"" svg "${svg}")
  string(REGEX REPLACE "url\\(#([^)]*)\\)" "url(#${name}-\\1)" svg "${svg}")
  string(REGEX REPLACE "href=\"#([^\"]*)\"" "href=\"#${name}-\\1\"" svg "${svg}")
  string(REGEX REPLACE "<svg[^>]*>" "<symbol id=\"picture-${name}\" ${view_box}>" svg "${svg}")
  string(REPLACE "</svg>" "</symbol>" svg "${svg}")
  string(STRIP "${svg}" svg)
  string(APPEND symbols "${svg}\n")
endforeach()
set(sprite "<svg class=\"pictures\" aria-hidden=\"true\" focusable=\"false\">\n${symbols}</svg>")
file(READ ${SOURCE} page)
string(FIND "${page}" "<!-- pictures -->" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${SOURCE}: no <!-- pictures --> mark")
endif()
string(REPLACE "<!-- pictures -->" "${sprite}" page "${page}")
write_if_changed(${PAGE}/index.html "${page}")
