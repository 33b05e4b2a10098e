# Writes the page's index.html into the page folder PAGE from SOURCE, with
# the window's button pictures PICTURES (names, by commas, of the .svg files
# in PICTURE_DIR) put in at
# the "<!-- pictures -->" mark as one hidden block of symbols, each named
# picture-NAME and shown by <use href="#picture-NAME">. Pictures as <img>
# would each be fetched and parsed by the browser as a document of its own,
# which on a small machine costs more than the rest of the page's markup.
#   cmake -DPAGE=folder -DSOURCE=index.html -DPICTURE_DIR=folder -DPICTURES=a,b -P page_pictures.cmake
include(${CMAKE_CURRENT_LIST_DIR}/write_if_changed.cmake)
set(symbols "")
string(REPLACE "," ";" names "${PICTURES}")
foreach(name IN LISTS names)
  set(picture ${PICTURE_DIR}/${name}.svg)
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
