// INFO: the manager's match settings, read into the settings the search uses.
#pragma once

#include <cstdio>

#include "search/match_settings.h"

class Input;

// Reads one integer value; when none can be read, reports it, drops the line and yields -1.
long read_info_value(Input& input, std::FILE* out);

// Runs INFO with the input positioned right after the word "INFO".
void info_command(Input& input, std::FILE* out, MatchSettings& settings);
