#pragma once
// Subcommands of korvimand-admin; each takes the arguments after its name
// and returns the process exit status.
#include <cstdio>
#include <string>

int adminEncode(int argc, char** argv);  // AdminCfg.cpp
int adminDecode(int argc, char** argv);  // AdminCfg.cpp
int adminIni(int argc, char** argv);     // AdminCfg.cpp
int adminInitDb(int argc, char** argv);  // AdminDb.cpp
int adminDemo(int argc, char** argv);    // AdminDemo.cpp
int adminReport(int argc, char** argv);  // AdminReport.cpp
int adminLog(int argc, char** argv);     // AdminLog.cpp
int adminCode(int argc, char** argv);    // AdminCode.cpp
int adminSplit(int argc, char** argv);   // AdminSplit.cpp
int adminBackup(int argc, char** argv);  // AdminBackup.cpp
int adminHilfe(int argc, char** argv);   // AdminHilfe.cpp: help [COMMAND]

// "usage: korvimand-admin " and the command's arguments, for its own errors.
std::string adminAufruf(const char* befehl);
// The list of commands (--help, or after a wrong command).
void adminUebersicht(std::FILE* out);
