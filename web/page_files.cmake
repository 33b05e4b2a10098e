# Writes page_files.js into the page folder PAGE: the files the service
# worker keeps with the SHA-256 of each, and a version that changes whenever
# any of them does. The worker keeps a version only when every file it
# fetched has that version's hash. RELEASE, where given, is the release
# the page belongs to ("1.0.6.6"), which the update bar names.
#   cmake -DPAGE=folder [-DRELEASE=1.0.6.6] -P page_files.cmake
include(${CMAKE_CURRENT_LIST_DIR}/write_if_changed.cmake)
file(GLOB_RECURSE files RELATIVE ${PAGE} ${PAGE}/*)
list(REMOVE_ITEM files sw.js page_files.js)
list(SORT files)
set(contents "")
set(names "")
foreach(file IN LISTS files)
  file(SHA256 ${PAGE}/${file} hash)
  string(APPEND contents "${file} ${hash}\n")
  string(APPEND names "  '${file}': '${hash}',\n")
endforeach()
string(SHA256 version "${contents}")
string(SUBSTRING ${version} 0 16 version)
set(text "// Written by the build: the page's files, their hashes and their version.\nself.pageVersion = '${version}';\nself.pageRelease = '${RELEASE}';\nself.pageFiles = {\n${names}};\n")
write_if_changed(${PAGE}/page_files.js "${text}")
