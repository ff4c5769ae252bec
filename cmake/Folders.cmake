# One static library per folder of src/, named vantorix_<folder>, linking only the folders it may use.
# This table is the one statement of the layering: the libraries link by it and the include check
# (CheckLayering.cmake) refuses any #include, in src/<folder>/ or in tests/<folder>/, that crosses into a
# folder not listed here.
set(VANTORIX_FOLDERS core platform persistence replay graphics audio DXCtrl Game online main)
set(VANTORIX_USES_core "")
set(VANTORIX_USES_platform core)
set(VANTORIX_USES_persistence core)
set(VANTORIX_USES_replay core persistence)
set(VANTORIX_USES_graphics core platform)
set(VANTORIX_USES_audio core platform)
set(VANTORIX_USES_DXCtrl core platform graphics audio)
set(VANTORIX_USES_Game core platform graphics audio persistence)
set(VANTORIX_USES_online core platform persistence)
set(VANTORIX_USES_main core platform persistence replay graphics audio DXCtrl Game online)

# vantorix_folder_library([extra sources...]): the library of the calling src/<folder>/, made of every
# .cpp file in it, so new files join without editing CMake.
function(vantorix_folder_library)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(vantorix_${folder} STATIC ${sources} ${ARGN})
  target_include_directories(vantorix_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  foreach(used IN LISTS VANTORIX_USES_${folder})
    target_link_libraries(vantorix_${folder} PUBLIC vantorix_${used})
  endforeach()
  add_dependencies(vantorix_${folder} layering)
  vantorix_checked_target(vantorix_${folder})
  # A screen (or any other enumerator) left out of a switch breaks the test build.
  if(VANTORIX_TESTS)
    target_compile_options(vantorix_${folder} PRIVATE -Werror=switch)
  endif()
endfunction()

# The include check runs before any folder compiles, and again whenever a source or a test changes.
file(GLOB_RECURSE VANTORIX_LAYERED_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
  ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h)
set(VANTORIX_LAYERING_RULES "")
foreach(folder IN LISTS VANTORIX_FOLDERS)
  list(JOIN VANTORIX_USES_${folder} "," uses)
  list(APPEND VANTORIX_LAYERING_RULES "${folder}:${uses}")
endforeach()
list(JOIN VANTORIX_LAYERING_RULES "|" VANTORIX_LAYERING_RULES)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/layering.checked
  COMMAND ${CMAKE_COMMAND} "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src" "-DTEST_DIR=${PROJECT_SOURCE_DIR}/tests" "-DRULES=${VANTORIX_LAYERING_RULES}"
          -DSTAMP=${CMAKE_BINARY_DIR}/layering.checked -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayering.cmake
  DEPENDS ${VANTORIX_LAYERED_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/CheckLayering.cmake
          ${PROJECT_SOURCE_DIR}/cmake/Folders.cmake
  COMMENT "Checking that every #include stays within the allowed folders"
  VERBATIM)
add_custom_target(layering DEPENDS ${CMAKE_BINARY_DIR}/layering.checked)

foreach(folder IN LISTS VANTORIX_FOLDERS)
  add_subdirectory(${PROJECT_SOURCE_DIR}/src/${folder})
endforeach()
