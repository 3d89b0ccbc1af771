#pragma once
// Order header (Hlx501Apk) and order position (Hlx504App) records.
// A date-and-time column is held as two fields: <Column>Dat (yyyymmdd) and
// <Column>Zeit (HH24MISS). Int16 columns are held as 32-bit fields.
#include <cstdint>
#include <string>

#include "util/Text.h"

struct ApkRecord {
    Text<12> ApkApk;
    Text<30> ApkBz1;
    Text<30> ApkBz2;
    Text<10> ApkTxt;
    std::int32_t ApkSts = 0;
    std::int32_t ApkSis = 0;
    Text<7> ApkKun;
    Text<30> ApkKb1;
    Text<30> ApkKb2;
    Text<8> ApkBgs;
    Text<8> ApkEns;
    std::int32_t ApkAfo = 0;
    std::int32_t ApkEaf = 0;
    Text<20> ApkTnr;
    Text<30> ApkTb1;
    Text<30> ApkTb2;
    double ApkSme = 0;
    double ApkIme = 0;
    Text<3> ApkMee;
    Text<8> ApkBdiDat;
    Text<6> ApkBdiZeit;
    Text<8> ApkEdiDat;
    Text<6> ApkEdiZeit;
    Text<10> ApkFbe;
    Text<10> ApkKst;
    Text<30> ApkZf1;
    Text<30> ApkZf2;
    Text<30> ApkZf3;
    Text<1> ApkKnz;
    std::int32_t ApkSsn = 0;
    Text<3> ApkDna;
    Text<8> ApkDwn;
    std::int32_t ApkSta = 0;
    Text<14> ApkDat;
    Text<8> ApkErf;
    std::int32_t ApkAba = 0;
};

struct AppRecord {
    Text<12> AppApk;
    Text<5> AppApp;
    Text<5> AppVaf;
    Text<5> AppNaf;
    Text<30> AppBz1;
    Text<30> AppBz2;
    Text<10> AppTxt;
    std::int32_t AppSts = 0;
    std::int32_t AppSis = 0;
    Text<8> AppBdiDat;
    Text<6> AppBdiZeit;
    Text<8> AppBdsDat;
    Text<6> AppBdsZeit;
    Text<8> AppSbdDat;
    Text<6> AppSbdZeit;
    Text<8> AppEdiDat;
    Text<6> AppEdiZeit;
    Text<8> AppEdsDat;
    Text<6> AppEdsZeit;
    Text<8> AppSedDat;
    Text<6> AppSedZeit;
    Text<8> AppRadDat;
    Text<6> AppRadZeit;
    Text<8> AppRedDat;
    Text<6> AppRedZeit;
    std::int32_t AppAgs = 0;
    std::int32_t AppAbs = 0;
    std::int32_t AppAes = 0;
    double AppSme = 0;
    double AppIme = 0;
    double AppAme = 0;
    Text<3> AppMee;
    double AppSza = 0;
    double AppStr = 0;
    double AppSte = 0;
    double AppIta = 0;
    double AppItr = 0;
    double AppIte = 0;
    Text<10> AppApg;
    Text<10> AppApl;
    Text<15> AppKt1;
    Text<3> AppKz1;
    Text<15> AppKt2;
    Text<3> AppKz2;
    Text<15> AppKt3;
    Text<3> AppKz3;
    Text<15> AppKt4;
    Text<3> AppKz4;
    Text<10> AppFbe;
    Text<10> AppKst;
    Text<30> AppZf1;
    Text<30> AppZf2;
    Text<30> AppZf3;
    Text<1> AppKnz;
    Text<3> AppDna;
    Text<8> AppDwn;
    std::int32_t AppSsn = 0;
    std::int32_t AppSta = 0;
    Text<14> AppDat;
    Text<8> AppErf;
};

// The position's key as messages name it: "<order> <position>".
inline std::string App_Schluessel(const AppRecord& a) { return a.AppApk.str() + " " + a.AppApp.str(); }
