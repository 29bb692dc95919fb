# zocut_add_test(<name> SOURCES <files...> LIBS <targets...> [COMMA_LOCALE] [DISPLAY])
# Builds one QtTest program and registers it with CTest, headless. With
# COMMA_LOCALE it is registered a second time under a German locale, which
# proves that numbers are written with "." whatever the user's locale. With
# DISPLAY it runs on an X display of its own (xvfb-run) instead, for tests
# that watch real windows.
set(ZOCUT_TEST_ENV
  QT_QPA_PLATFORM=offscreen
  QT_QUICK_BACKEND=software
  TZ=UTC
  QT_HASH_SEED=0
  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0"
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${CMAKE_SOURCE_DIR}/tests/ubsan.supp"
  "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp")

# Tests on an X display of their own: the real platform, and no leak check,
# as the display libraries keep memory until the process ends.
set(ZOCUT_DISPLAY_TEST_ENV ${ZOCUT_TEST_ENV})
list(TRANSFORM ZOCUT_DISPLAY_TEST_ENV REPLACE "^QT_QPA_PLATFORM=.*" "QT_QPA_PLATFORM=xcb")
list(TRANSFORM ZOCUT_DISPLAY_TEST_ENV REPLACE "^ASAN_OPTIONS=detect_leaks=1" "ASAN_OPTIONS=detect_leaks=0")

# zocut_add_display_test(<name> <width>x<height> <command...>)
# Registers a command that runs on an X display of its own (xvfb-run) of
# that size.
function(zocut_add_display_test name screen)
  find_program(ZOCUT_XVFB_RUN xvfb-run REQUIRED)
  add_test(NAME ${name} COMMAND ${ZOCUT_XVFB_RUN} -a -s "-screen 0 ${screen}x24" ${ARGN})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ZOCUT_DISPLAY_TEST_ENV}" TIMEOUT 600)
endfunction()

function(zocut_add_test name)
  cmake_parse_arguments(T "COMMA_LOCALE;DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt5::Test testcommon)
  zocut_warnings(${name})
  if(T_DISPLAY)
    zocut_add_display_test(${name} 1600x900 $<TARGET_FILE:${name}>)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ZOCUT_TEST_ENV}" TIMEOUT 300)
  if(T_COMMA_LOCALE)
    add_test(NAME ${name}_de COMMAND ${name})
    set_tests_properties(${name}_de PROPERTIES
      ENVIRONMENT "${ZOCUT_TEST_ENV};LC_ALL=de_DE.UTF-8;LANG=de_DE.UTF-8" TIMEOUT 300)
  endif()
endfunction()
