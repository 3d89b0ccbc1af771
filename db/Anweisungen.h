#pragma once
// The statement texts of each statement module, under the name of the
// operation they were written for, as the operations pass them to the
// runtime: tests check and prepare these very texts. An operation that runs
// another's text (Err_LZADel runs Err_NZADel's) adds no entry. The session
// module runs no text of its own.
#include <span>

struct Anweisung {
    const char* name;
    const char* text;
};

std::span<const Anweisung> Dbstd_AemTexte();
std::span<const Anweisung> Dbstd_AppTexte();
std::span<const Anweisung> Dbstd_NzpTexte();
std::span<const Anweisung> DbMel_ErrTexte();
std::span<const Anweisung> DbMel_MelTexte();
std::span<const Anweisung> DbMel_MrkTexte();
std::span<const Anweisung> DbMel_NzaTexte();
std::span<const Anweisung> DbMel_PpsTexte();
