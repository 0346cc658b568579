# Windows build: lumetta.exe, the Win32 tests run under Wine, the probe tool.

# Every layer with the system libraries the Windows halves call.
add_library(lumetta_win INTERFACE)
target_link_libraries(lumetta_win INTERFACE lumetta_core d2d1 dwrite dwmapi ole32 oleaut32 uuid version
  shell32 user32 gdi32 windowscodecs wtsapi32 winhttp ntdll pdh iphlpapi wlanapi ws2_32)

# The icon is drawn by a committed script so that every size is reproducible.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(icon_file ${CMAKE_BINARY_DIR}/generated/lumetta.ico)
add_custom_command(OUTPUT ${icon_file}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_icon.py ${icon_file}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_icon.py
  COMMENT "Drawing lumetta.ico")
add_custom_target(lumetta_icon DEPENDS ${icon_file})

# Single sources: the version block and the manifest take project()'s version; the resource
# compiler takes the text ids' names from a header made from the one list in text_ids.h.
configure_file(${CMAKE_SOURCE_DIR}/resources/version.rc.in ${generated_dir}/version.rc @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/lumetta.manifest.in ${generated_dir}/lumetta.manifest
  @ONLY)
set(text_ids_header ${CMAKE_SOURCE_DIR}/src/app/text_ids.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${text_ids_header})
file(READ ${text_ids_header} text_ids)
string(REGEX MATCHALL "X\\(kText[A-Za-z0-9]+, [0-9]+\\)" text_id_entries "${text_ids}")
set(text_id_defines "// Generated from src/app/text_ids.h for the resource compiler.\n")
foreach(entry ${text_id_entries})
  string(REGEX REPLACE "X\\((kText[A-Za-z0-9]+), ([0-9]+)\\)" "#define \\1 \\2\n" line "${entry}")
  string(APPEND text_id_defines "${line}")
endforeach()
file(CONFIGURE OUTPUT ${generated_dir}/text_ids.rc.h CONTENT "${text_id_defines}")

set(resource_dir ${CMAKE_SOURCE_DIR}/resources)
set(resource_deps ${icon_file} ${generated_dir}/lumetta.manifest ${generated_dir}/version.rc
  ${generated_dir}/text_ids.rc.h ${resource_dir}/strings_en.rc ${resource_dir}/strings_ja.rc)
set_source_files_properties(${resource_dir}/lumetta.rc PROPERTIES OBJECT_DEPENDS "${resource_deps}")

function(lumetta_resources target)
  target_sources(${target} PRIVATE ${resource_dir}/lumetta.rc)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated ${resource_dir})
  add_dependencies(${target} lumetta_icon)
endfunction()

# The entry is the top layer: it sees every folder.
lumetta_layer(main USES base text app settings metrics update draw window dialogs card)
add_executable(lumetta WIN32 src/main/main_win.cpp)
target_include_directories(lumetta PRIVATE ${CMAKE_BINARY_DIR}/layers/main ${generated_dir})
target_link_libraries(lumetta PRIVATE lumetta_win)
# Stripped: symbols would double the size of the shipped file. The header declares Windows 10,
# so that Windows applies no legacy (XP-era) compatibility to the program's windows.
target_link_options(lumetta PRIVATE -municode -s -Wl,--major-subsystem-version,10
  -Wl,--minor-subsystem-version,0 -Wl,--major-os-version,10 -Wl,--minor-os-version,0)
add_test(NAME Executable.DeclaresWindows10AndImportsSystemDllsOnly
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-exe $<TARGET_FILE:lumetta>)
set_tests_properties(Executable.DeclaresWindows10AndImportsSystemDllsOnly PROPERTIES LABELS e2e)
lumetta_resources(lumetta)
lumetta_warnings(lumetta)

# GoogleTest from Debian's sources, cross-compiled with our toolchain; elsewhere (MSYS2) an
# installed GoogleTest, or no tests.
set(LUMETTA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
if(EXISTS ${LUMETTA_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${LUMETTA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest)
  if(NOT GTest_FOUND)
    message(STATUS "GoogleTest not found: building lumetta.exe without its tests")
    return()
  endif()
  add_library(gtest ALIAS GTest::gtest)
endif()

include(GoogleTest)

add_library(probe_lib STATIC tools/probe/probe.cpp)
target_include_directories(probe_lib PUBLIC tools tests src)
target_link_libraries(probe_lib PUBLIC user32 gdi32)
lumetta_warnings(probe_lib)

add_executable(probe tools/probe/probe_main.cpp)
target_link_options(probe PRIVATE -municode)
target_link_libraries(probe PRIVATE probe_lib)
lumetta_warnings(probe)

# Discovery runs under Wine at test time, so a plain build needs no Wine.
file(GLOB win_test_sources CONFIGURE_DEPENDS tests/win/*_test.cpp)
# The rounding tests also run here: lumetta.exe's runtime must round as the native build does.
add_executable(win_tests ${win_test_sources} tests/win/main.cpp tests/native/rounding_test.cpp)
target_include_directories(win_tests PRIVATE tests)
# The string tables are compared with the resource files themselves.
target_compile_definitions(win_tests PRIVATE LUMETTA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(win_tests PRIVATE lumetta_win gtest)
lumetta_resources(win_tests)
lumetta_warnings(win_tests)
# Groups whose tests take turns with the end-to-end cards: the cards are found by their class,
# and the prefix has one notification area. Each group runs as one CTest test, so a test added
# to a group runs without being named here.
set(locked_groups CardMessages CardProviders)
list(TRANSFORM locked_groups APPEND ".*" OUTPUT_VARIABLE locked_filters)
list(JOIN locked_filters ":" locked_filter)
gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
  TEST_FILTER -*SmallScreen*:${locked_filter}
  PROPERTIES LABELS wine TIMEOUT 300)
foreach(group ${locked_groups})
  add_test(NAME ${group} COMMAND win_tests --gtest_filter=${group}.*)
  set_tests_properties(${group} PROPERTIES LABELS wine TIMEOUT 300 RESOURCE_LOCK lumetta_instance
    FAIL_REGULAR_EXPRESSION "Running 0 tests")
endforeach()
# At another DPI on a screen of its own; the DPI is the whole prefix's, so nothing runs beside it.
add_test(NAME SettingsDialog.SmallScreenAt144Dpi
  COMMAND ${CMAKE_SOURCE_DIR}/tools/on-small-screen $<TARGET_FILE:win_tests> --gtest_filter=*SmallScreen*)
set_tests_properties(SettingsDialog.SmallScreenAt144Dpi PROPERTIES LABELS wine RUN_SERIAL TRUE
  TIMEOUT 300)

file(GLOB e2e_test_sources CONFIGURE_DEPENDS tests/e2e/*_test.cpp)
add_executable(e2e_tests ${e2e_test_sources} tests/e2e/main.cpp)
target_include_directories(e2e_tests PRIVATE tests)
target_link_libraries(e2e_tests PRIVATE probe_lib lumetta_core gtest shell32 ole32 oleaut32 uuid
  ws2_32)
lumetta_warnings(e2e_tests)
add_dependencies(e2e_tests lumetta)
# One lumetta.exe at a time: the data folder and the single-instance mutex are shared.
gtest_discover_tests(e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
  EXTRA_ARGS --lumetta-exe=$<TARGET_FILE:lumetta>
  PROPERTIES LABELS e2e TIMEOUT 300 RESOURCE_LOCK lumetta_instance)
# The release that `make dist` makes from this lumetta.exe: its files, and the installer in a
# Wine prefix and on a display of their own, so that it runs beside the other cards.
add_test(NAME Release.Packages COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/release-test packages)
add_test(NAME Release.InstallUpgradeUninstall
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/release-test install)
set_tests_properties(Release.Packages Release.InstallUpgradeUninstall PROPERTIES LABELS e2e
  TIMEOUT 300)
# Prints live Snapshots, one line per tick.
add_executable(snapshots tools/snapshots_win.cpp)
target_link_libraries(snapshots PRIVATE lumetta_win)
lumetta_warnings(snapshots)

# Cost of a tick under the real platform: `make bench` runs it under Wine.
add_executable(sampler_bench bench/sampler_bench_win.cpp bench/alloc_counter.cpp)
target_link_libraries(sampler_bench PRIVATE lumetta_win)
lumetta_warnings(sampler_bench)

# The card with every addition on, from a scripted sample: `make screenshots` saves it.
add_executable(card_shot tools/card_shot_win.cpp)
target_include_directories(card_shot PRIVATE tests)
target_link_libraries(card_shot PRIVATE lumetta_win)
target_link_options(card_shot PRIVATE -municode)
lumetta_resources(card_shot)
lumetta_warnings(card_shot)

# Every primitive and text style in both palettes: `make gallery` saves docs/gallery.png.
add_executable(gallery tools/gallery_win.cpp)
target_include_directories(gallery PRIVATE tests)
target_link_libraries(gallery PRIVATE lumetta_win)
target_link_options(gallery PRIVATE -municode)
lumetta_resources(gallery)
lumetta_warnings(gallery)

# The yardstick of `make bench`'s own-cost comparison.
add_executable(baseline_window WIN32 bench/baseline_window_win.cpp)
target_link_options(baseline_window PRIVATE -municode)
lumetta_warnings(baseline_window)

# The yardstick of tools/soak: the card's kinds of Direct2D/DirectWrite calls, nothing else.
add_executable(bare_d2d WIN32 bench/bare_d2d_win.cpp)
target_link_libraries(bare_d2d PRIVATE d2d1 dwrite shell32)
target_link_options(bare_d2d PRIVATE -municode)
lumetta_warnings(bare_d2d)
