#pragma once
// Subcommands of korvimand-admin; each takes the arguments after its name
// and returns the process exit status.
int adminEncode(int argc, char** argv); // AdminCfg.cpp
int adminDecode(int argc, char** argv); // AdminCfg.cpp
int adminIni(int argc, char** argv);    // AdminCfg.cpp
int adminInitDb(int argc, char** argv); // AdminDb.cpp
int adminDemo(int argc, char** argv);   // AdminDemo.cpp
int adminReport(int argc, char** argv); // AdminReport.cpp
int adminCode(int argc, char** argv);   // AdminCode.cpp
