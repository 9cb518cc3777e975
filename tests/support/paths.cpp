#include "support/paths.h"

extern "C" const char* korvo_test_source_dir() { return KORVO_TEST_SOURCE_DIR; }
extern "C" const char* korvo_test_cli_path() { return KORVO_TEST_CLI_PATH; }
