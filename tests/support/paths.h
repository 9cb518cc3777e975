#pragma once
// Where the sources and the built korvo-cli are. The paths are compiled into one file of the
// test programs only (paths.cpp), so that every other test file compiles to the same object
// in every checkout and the compiler cache can share it. KORVO_SOURCE_DIR and KORVO_CLI_PATH
// are calls of these functions (see CMakeLists.txt).

extern "C" const char* korvo_test_source_dir();
extern "C" const char* korvo_test_cli_path();  // empty in the window tests
