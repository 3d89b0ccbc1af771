#pragma once
// korvimand-admin log, and what the report shares with it.
#include <cstddef>
#include <string>

// The note that only the end of a long log file was read.
std::string logGekuerzt(const std::string& datei, std::size_t ausgelassen);
