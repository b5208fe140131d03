# velomira_add_gtest(<name> LABEL <unit|widget|web|media|e2e> SOURCES ... [LIBS ...] [QT_MAIN])
#
# Adds a GoogleTest executable whose cases are registered one by one with ctest.
# Labels: unit (no display), widget (Qt offscreen), web (Qt WebEngine offscreen),
# media (needs the generated recordings), e2e (the whole viewer on a generated card).
# Tests of the labels widget, web and e2e, and any with QT_MAIN, run under a main that
# creates a QApplication on the offscreen platform.
# Every test binary knows the generated test data folder as VELOMIRA_TESTDATA_DIR and
# the generator as VELOMIRA_MKCARD; media and e2e tests wait for the generator fixture.
include(GoogleTest)

function(velomira_add_gtest name)
  cmake_parse_arguments(T "QT_MAIN" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL MATCHES "^(unit|widget|web|media|e2e)$")
    message(FATAL_ERROR "velomira_add_gtest(${name}): LABEL must be unit, widget, web, media or e2e")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock velomira_test_support)
  if(T_QT_MAIN OR T_LABEL MATCHES "^(widget|web|e2e)$")
    target_link_libraries(${name} PRIVATE velomira_test_qt_main)
  else()
    target_link_libraries(${name} PRIVATE velomira_test_main)
  endif()
  set(props LABELS ${T_LABEL})
  if(T_LABEL MATCHES "^(media|e2e)$")
    list(APPEND props FIXTURES_REQUIRED testmedia)
  endif()
  if(T_LABEL STREQUAL "web")
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${props} TIMEOUT 600)
endfunction()
