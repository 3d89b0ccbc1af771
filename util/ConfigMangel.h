#pragma once
// Why the configuration file gives no database, in words an operator can act
// on: both programs say it the same way.
#include <string>

// Cfg_FileName() made absolute, as messages show it: from the wrong working
// directory the relative name alone does not say where it was looked for.
std::string Cfg_Anzeigename();

// One of "configuration not found at PATH", "configuration PATH not
// readable: REASON" or "no NET8 in PATH"; "" when the file can be read and
// names a database.
std::string Cfg_Mangel();
