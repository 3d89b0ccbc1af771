#pragma once
// The planned-time correction of a position or package member.
#include "db/AppRecord.h"
#include "db/NzaRecord.h"

// Keeps the planned unit time in AppZf3 (from its 23rd character) and scales
// AppSte by the mean performance of the position's messages.
void App_SteKorrigieren(AppRecord* app, NzaRecord nza);
