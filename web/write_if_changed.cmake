# write_if_changed(FILE TEXT): writes TEXT into FILE unless FILE already
# holds it. Unchanged contents keep the file's time, so the browser sees no
# update and the build nothing to redo.
function(write_if_changed file text)
  set(old "")
  if(EXISTS ${file})
    file(READ ${file} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${file} "${text}")
  endif()
endfunction()
