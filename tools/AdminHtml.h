#pragma once
// korvimand-admin report --html: the sums of a range as one page with
// charts, for a browser or a printer.
#include <string>

#include "tools/AdminBilanz.h"

// Writes the page to datei (whole or not at all: a failed write leaves any
// earlier file as it was). 0 or the errno of the failure.
int berichtHtmlSchreiben(const std::string& datei, const Bilanz& z, const std::string& bereich);
