# Shared build helpers: warnings, module libraries, test programs.

function(talverin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(TALVERIN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# talverin_module_library(<target> [SHARED|STATIC] SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# The module's public headers live in include/<module>/ and are included as <module/header.h>.
function(talverin_module_library target)
  cmake_parse_arguments(A "SHARED;STATIC" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  set(kind SHARED)
  if(A_STATIC)
    set(kind STATIC)
  endif()
  add_library(${target} ${kind} ${A_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                       PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${A_PUBLIC_LIBS} PRIVATE ${A_PRIVATE_LIBS})
  talverin_warnings(${target})
endfunction()

# talverin_module_tests(<target> SOURCES ... LIBS ...)
# One GoogleTest program per module. Test suites whose names contain "Pty" get the label pty,
# those containing "Gui" the label gui, all others the label unit. Everything runs headless.
# CTest names are "<target>.<Suite>.<Test>", so `ctest -R <module>` selects one module.
function(talverin_module_tests target)
  if(NOT TALVERIN_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  add_executable(${target} ${A_SOURCES})
  target_link_libraries(${target} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest Threads::Threads)
  if(TARGET talverin-testsupport)
    target_link_libraries(${target} PRIVATE talverin-testsupport)
  endif()
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src
                                               ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    TALVERIN_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
    TALVERIN_BIN_DIR="${TALVERIN_BIN_DIR}")
  talverin_warnings(${target})
  # One value per property: the discovery passes its properties on as a flat list, in which a
  # second ENVIRONMENT setting would be taken for a property name and dropped.
  set(env ENVIRONMENT "TALVERIN_COMPONENTS=${TALVERIN_BIN_DIR}/components.ini"
          ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen")
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${target}." TEST_FILTER "*Pty*"
    PROPERTIES LABELS pty TIMEOUT ${A_TIMEOUT} ${env})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${target}." TEST_FILTER "*Gui*-*Pty*"
    PROPERTIES LABELS gui TIMEOUT ${A_TIMEOUT} ${env})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${target}." TEST_FILTER "-*Pty*:*Gui*"
    PROPERTIES LABELS unit TIMEOUT ${A_TIMEOUT} ${env})
endfunction()

# talverin_add_translation(<target> <ts-file>...): compiles .ts into .qm beside the programs.
function(talverin_add_translation target)
  find_program(TALVERIN_LRELEASE NAMES lrelease lrelease-qt6 PATHS /usr/lib/qt6/bin REQUIRED)
  set(qms)
  foreach(ts ${ARGN})
    get_filename_component(base ${ts} NAME_WE)
    set(qm ${TALVERIN_BIN_DIR}/translations/${base}.qm)
    add_custom_command(OUTPUT ${qm}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${TALVERIN_BIN_DIR}/translations
      COMMAND ${TALVERIN_LRELEASE} -silent ${CMAKE_CURRENT_SOURCE_DIR}/${ts} -qm ${qm}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ts} VERBATIM)
    list(APPEND qms ${qm})
  endforeach()
  add_custom_target(${target}_translations ALL DEPENDS ${qms})
  add_dependencies(${target} ${target}_translations)
endfunction()
