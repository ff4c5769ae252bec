# Refuses an #include that crosses into a folder of src/ its folder may not use, an include that climbs
# out of its folder with "..", and a header of the libraries platform/ wraps anywhere but in platform/.
# Quoted and angle-bracket includes are read alike: <Game/TGame.h> reaches Game/ as "Game/TGame.h" does.
# Tests live in tests/<folder>/ and may use what that folder may use, plus the harness (the files
# directly in tests/, which drive the whole program and the libraries).
# Run by the build: cmake -DSOURCE_DIR=<src> -DTEST_DIR=<tests> -DRULES=<folder:used,used|...>
#   -DSTAMP=<file> -P this file. TEST_DIR may be left out.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" rules "${RULES}")
set(folders "")
foreach(rule IN LISTS rules)
  string(REGEX MATCH "^[^:]+" folder "${rule}")
  string(REGEX REPLACE "^[^:]+:" "" uses "${rule}")
  string(REPLACE "," ";" uses "${uses}")
  set(allowed_${folder} ${folder} ${uses})
  list(APPEND folders ${folder})
endforeach()

set(platform_headers "SDL|curl/|ft2build|freetype/|fontconfig/|xmp\\.h")
set(problems "")

# check_file(ROOT_NAME ROOT FILE FOLDER): the includes of ROOT/FILE, which belongs to FOLDER.
function(check_file root_name root file folder)
  file(STRINGS ${root}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "include[ \t]*[<\"][^>\"]*\\.\\./")
      list(APPEND problems "${root_name}/${file}: name headers from src/, without \"..\": ${line}")
    elseif(line MATCHES "include[ \t]*[<\"]([^/\">]+)/" AND CMAKE_MATCH_1 IN_LIST folders)
      if(NOT CMAKE_MATCH_1 IN_LIST allowed_${folder})
        list(APPEND problems "${root_name}/${file}: ${folder}/ may not use ${CMAKE_MATCH_1}/: ${line}")
      endif()
    elseif(line MATCHES "include[ \t]*[<\"](${platform_headers})" AND NOT folder STREQUAL "platform")
      list(APPEND problems "${root_name}/${file}: only platform/ may include this library header: ${line}")
    endif()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

# check_tree(ROOT_NAME ROOT HARNESS): every file in ROOT/<folder>/ by the rules of <folder>. With HARNESS
# the files directly in ROOT are the harness and may use anything; without, they belong to no folder.
function(check_tree root_name root harness)
  file(GLOB_RECURSE files RELATIVE ${root} ${root}/*.cpp ${root}/*.h)
  foreach(file IN LISTS files)
    if(harness AND NOT file MATCHES "/")
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" folder "${file}")
    if(NOT folder IN_LIST folders)
      list(APPEND problems "${root_name}/${file}: ${root_name}/${folder}/ is not a folder of the build (see cmake/Folders.cmake)")
      continue()
    endif()
    check_file(${root_name} ${root} ${file} ${folder})
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

check_tree(src ${SOURCE_DIR} OFF)
if(TEST_DIR)
  check_tree(tests ${TEST_DIR} ON)
endif()

if(problems)
  list(JOIN problems "\n  " report)
  message(FATAL_ERROR "Includes that break the layering of the folders:\n  ${report}")
endif()
file(TOUCH ${STAMP})
