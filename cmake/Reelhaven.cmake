# Shared compile settings and the helpers every folder's CMakeLists uses.

add_library(reelhaven_options INTERFACE)
target_compile_options(reelhaven_options INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
if(REELHAVEN_WERROR)
  target_compile_options(reelhaven_options INTERFACE -Werror)
endif()

# Debug sections are compressed and no assembly goes through /tmp: the three builds of the test
# run must fit on a small disk, and gdb and the sanitizers read compressed sections alike.
add_compile_options(-pipe -gz)
add_link_options(-gz)

if(REELHAVEN_SANITIZE)
  string(REPLACE "," ";" _sanitizers "${REELHAVEN_SANITIZE}")
  add_compile_options(-fsanitize=${REELHAVEN_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${REELHAVEN_SANITIZE})
  if("undefined" IN_LIST _sanitizers)
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

# reelhaven_library(<target> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One static library per source folder; headers are included as "<folder>/<file>.h" from src/.
function(reelhaven_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE reelhaven_options ${ARG_PRIVATE_LIBS})
endfunction()

# reelhaven_test(<target> SOURCES ... LIBS ... [ENVIRONMENT NAME=value ...])
# A GoogleTest executable whose cases are registered with ctest one by one. Every case runs with
# REELHAVEN_SOURCE_DIR, REELHAVEN_MEDIA_DIR and the given ENVIRONMENT entries (plain values, no
# generator expressions).
function(reelhaven_test target)
  # RESOURCE_LOCK: a name the cases share with other targets' that must not run beside them (the
  # desktop's one clipboard).
  # RUN_SERIAL: the cases run with no other test beside them (they move the desktop's one pointer,
  # which reaches whatever window lies on top).
  cmake_parse_arguments(ARG "RUN_SERIAL" "RESOURCE_LOCK" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  set(lock)
  if(ARG_RESOURCE_LOCK)
    set(lock RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  if(ARG_RUN_SERIAL)
    list(APPEND lock RUN_SERIAL TRUE)
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE reelhaven_options reelhaven_test_support ${ARG_LIBS}
                        GTest::gmock GTest::gtest)
  # Test properties lose every list entry after the first on their way through discovery
  # (CMake 3.25), so the environment is set by running each case through env(1).
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
    "env;REELHAVEN_SOURCE_DIR=${PROJECT_SOURCE_DIR};REELHAVEN_MEDIA_DIR=${PROJECT_BINARY_DIR}/media;${ARG_ENVIRONMENT}")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 LABELS ${target} ${lock})
endfunction()
