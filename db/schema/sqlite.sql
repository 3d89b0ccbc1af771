-- The program's tables for SQLite. Dates are TEXT "YYYY-MM-DD HH:MM:SS";
-- texts compare byte by byte (BINARY); a CHECK keeps every text column to its
-- width in bytes, so that a longer value fails as it does on the other backend.
-- Only key columns are NOT NULL: other programs of the suite write partial
-- rows. The system tables live in this file too.
-- The statements compare days as text "yyyymmdd" (substr(...)||...): an
-- index that holds that expression, and the columns a statement reads next
-- to it, answers such a statement without computing the expression row by
-- row and without visiting the table. Tables read and written by their
-- whole key are WITHOUT ROWID: one B-tree to search and to write instead of
-- the table and its key index.

-- Order headers.
CREATE TABLE Hlx501Apk (
  ApkApk TEXT NOT NULL CHECK (length(CAST(ApkApk AS BLOB)) <= 12),
  ApkBz1 TEXT CHECK (length(CAST(ApkBz1 AS BLOB)) <= 30),
  ApkBz2 TEXT CHECK (length(CAST(ApkBz2 AS BLOB)) <= 30),
  ApkTxt TEXT CHECK (length(CAST(ApkTxt AS BLOB)) <= 10),
  ApkSts INTEGER,
  ApkSis INTEGER,
  ApkKun TEXT CHECK (length(CAST(ApkKun AS BLOB)) <= 7),
  ApkKb1 TEXT CHECK (length(CAST(ApkKb1 AS BLOB)) <= 30),
  ApkKb2 TEXT CHECK (length(CAST(ApkKb2 AS BLOB)) <= 30),
  ApkBgs TEXT,
  ApkEns TEXT,
  ApkAfo INTEGER,
  ApkEaf INTEGER,
  ApkTnr TEXT CHECK (length(CAST(ApkTnr AS BLOB)) <= 20),
  ApkTb1 TEXT CHECK (length(CAST(ApkTb1 AS BLOB)) <= 30),
  ApkTb2 TEXT CHECK (length(CAST(ApkTb2 AS BLOB)) <= 30),
  ApkSme REAL,
  ApkIme REAL,
  ApkMee TEXT CHECK (length(CAST(ApkMee AS BLOB)) <= 3),
  ApkBdi TEXT,
  ApkEdi TEXT,
  ApkFbe TEXT CHECK (length(CAST(ApkFbe AS BLOB)) <= 10),
  ApkKst TEXT CHECK (length(CAST(ApkKst AS BLOB)) <= 10),
  ApkZf1 TEXT CHECK (length(CAST(ApkZf1 AS BLOB)) <= 30),
  ApkZf2 TEXT CHECK (length(CAST(ApkZf2 AS BLOB)) <= 30),
  ApkZf3 TEXT CHECK (length(CAST(ApkZf3 AS BLOB)) <= 30),
  ApkKnz TEXT CHECK (length(CAST(ApkKnz AS BLOB)) <= 1),
  ApkSsn INTEGER,
  ApkDna TEXT CHECK (length(CAST(ApkDna AS BLOB)) <= 3),
  ApkDwn TEXT CHECK (length(CAST(ApkDwn AS BLOB)) <= 8),
  ApkSta INTEGER,
  ApkDat TEXT,
  ApkErf TEXT CHECK (length(CAST(ApkErf AS BLOB)) <= 8),
  ApkAba INTEGER,
  PRIMARY KEY (ApkApk)
) STRICT;

-- Order positions; the package cursor and count look positions up by AppZf2.
CREATE TABLE Hlx504App (
  AppApk TEXT NOT NULL CHECK (length(CAST(AppApk AS BLOB)) <= 12),
  AppApp TEXT NOT NULL CHECK (length(CAST(AppApp AS BLOB)) <= 5),
  AppVaf TEXT CHECK (length(CAST(AppVaf AS BLOB)) <= 5),
  AppNaf TEXT CHECK (length(CAST(AppNaf AS BLOB)) <= 5),
  AppBz1 TEXT CHECK (length(CAST(AppBz1 AS BLOB)) <= 30),
  AppBz2 TEXT CHECK (length(CAST(AppBz2 AS BLOB)) <= 30),
  AppTxt TEXT CHECK (length(CAST(AppTxt AS BLOB)) <= 10),
  AppSts INTEGER,
  AppSis INTEGER,
  AppBdi TEXT,
  AppBds TEXT,
  AppSbd TEXT,
  AppEdi TEXT,
  AppEds TEXT,
  AppSed TEXT,
  AppRad TEXT,
  AppRed TEXT,
  AppAgs INTEGER,
  AppAbs INTEGER,
  AppAes INTEGER,
  AppSme REAL,
  AppIme REAL,
  AppAme REAL,
  AppMee TEXT CHECK (length(CAST(AppMee AS BLOB)) <= 3),
  AppSza REAL,
  AppStr REAL,
  AppSte REAL,
  AppIta REAL,
  AppItr REAL,
  AppIte REAL,
  AppApg TEXT CHECK (length(CAST(AppApg AS BLOB)) <= 10),
  AppApl TEXT CHECK (length(CAST(AppApl AS BLOB)) <= 10),
  AppKt1 TEXT CHECK (length(CAST(AppKt1 AS BLOB)) <= 15),
  AppKz1 TEXT CHECK (length(CAST(AppKz1 AS BLOB)) <= 3),
  AppKt2 TEXT CHECK (length(CAST(AppKt2 AS BLOB)) <= 15),
  AppKz2 TEXT CHECK (length(CAST(AppKz2 AS BLOB)) <= 3),
  AppKt3 TEXT CHECK (length(CAST(AppKt3 AS BLOB)) <= 15),
  AppKz3 TEXT CHECK (length(CAST(AppKz3 AS BLOB)) <= 3),
  AppKt4 TEXT CHECK (length(CAST(AppKt4 AS BLOB)) <= 15),
  AppKz4 TEXT CHECK (length(CAST(AppKz4 AS BLOB)) <= 3),
  AppFbe TEXT CHECK (length(CAST(AppFbe AS BLOB)) <= 10),
  AppKst TEXT CHECK (length(CAST(AppKst AS BLOB)) <= 10),
  AppZf1 TEXT CHECK (length(CAST(AppZf1 AS BLOB)) <= 30),
  AppZf2 TEXT CHECK (length(CAST(AppZf2 AS BLOB)) <= 30),
  AppZf3 TEXT CHECK (length(CAST(AppZf3 AS BLOB)) <= 30),
  AppKnz TEXT CHECK (length(CAST(AppKnz AS BLOB)) <= 1),
  AppDna TEXT CHECK (length(CAST(AppDna AS BLOB)) <= 3),
  AppDwn TEXT CHECK (length(CAST(AppDwn AS BLOB)) <= 8),
  AppSsn INTEGER,
  AppSta INTEGER,
  AppDat TEXT,
  AppErf TEXT CHECK (length(CAST(AppErf AS BLOB)) <= 8),
  PRIMARY KEY (AppApk, AppApp)
) STRICT;
CREATE INDEX Hlx504App_Zf2 ON Hlx504App (AppZf2);

-- NZA records: source rows (kinds 5, 6), workstation evaluations (10), position records (11).
-- Every statement reads or writes them by a leading part of the key.
CREATE TABLE Hlx590Nza (
  NzaSa INTEGER NOT NULL,
  NzaApl TEXT NOT NULL CHECK (length(CAST(NzaApl AS BLOB)) <= 10),
  NzaApk TEXT NOT NULL CHECK (length(CAST(NzaApk AS BLOB)) <= 12),
  NzaApp TEXT NOT NULL CHECK (length(CAST(NzaApp AS BLOB)) <= 5),
  NzaPnr TEXT NOT NULL CHECK (length(CAST(NzaPnr AS BLOB)) <= 10),
  NzaDtm TEXT NOT NULL,
  NzaBeg INTEGER,
  NzaBbn INTEGER,
  NzaBln INTEGER,
  NzaBmk TEXT CHECK (length(CAST(NzaBmk AS BLOB)) <= 3),
  NzaEdt TEXT,
  NzaEnd INTEGER,
  NzaEbn INTEGER,
  NzaEln INTEGER,
  NzaEmk TEXT CHECK (length(CAST(NzaEmk AS BLOB)) <= 3),
  NzaUbg TEXT CHECK (length(CAST(NzaUbg AS BLOB)) <= 5),
  NzaRau INTEGER,
  NzaVar INTEGER,
  Nza00A INTEGER,
  Nza00U INTEGER,
  Nza00S INTEGER,
  NzaEmo TEXT CHECK (length(CAST(NzaEmo AS BLOB)) <= 10),
  NzaWtg INTEGER,
  NzaJtg INTEGER,
  NzaTtp TEXT CHECK (length(CAST(NzaTtp AS BLOB)) <= 3),
  NzaJwo TEXT CHECK (length(CAST(NzaJwo AS BLOB)) <= 4),
  NzaWoc INTEGER,
  NzaPzm INTEGER,
  NzaMaz INTEGER,
  NzaNzr REAL,
  NzaBzr REAL,
  NzaUzr REAL,
  NzaPzr REAL,
  NzaRbz REAL,
  NzaNza REAL,
  NzaBzA REAL,
  NzaUza REAL,
  NzaPza REAL,
  NzaAbz REAL,
  NzaNzu REAL,
  NzaBzu REAL,
  NzaPzu REAL,
  NzaUbz REAL,
  NzaSol REAL,
  NzaIst REAL,
  NzaPau REAL,
  NzaRf1 REAL,
  NzaRf2 REAL,
  NzaRf3 REAL,
  NzaFnr INTEGER,
  NzaDat TEXT,
  NzaErf TEXT CHECK (length(CAST(NzaErf AS BLOB)) <= 8),
  NzaGum REAL,
  NzaAum REAL,
  NzaTnr TEXT CHECK (length(CAST(NzaTnr AS BLOB)) <= 20),
  PRIMARY KEY (NzaSa, NzaApl, NzaApk, NzaApp, NzaPnr, NzaDtm)
) STRICT, WITHOUT ROWID;

-- Booking messages, written by the shop floor; read here by order position,
-- workstation, kind, day and the quantities the sums need, all from the index.
CREATE TABLE Hlx560Mel (
  KeyBnr INTEGER,
  KeyLfn INTEGER,
  ObjTyp TEXT CHECK (length(CAST(ObjTyp AS BLOB)) <= 3),
  KeyPnr TEXT CHECK (length(CAST(KeyPnr AS BLOB)) <= 8),
  KeyApl TEXT CHECK (length(CAST(KeyApl AS BLOB)) <= 10),
  KeyApk TEXT CHECK (length(CAST(KeyApk AS BLOB)) <= 12),
  KeyApp TEXT CHECK (length(CAST(KeyApp AS BLOB)) <= 5),
  Sts00E TEXT CHECK (length(CAST(Sts00E AS BLOB)) <= 1),
  Sts00R TEXT CHECK (length(CAST(Sts00R AS BLOB)) <= 1),
  Sts00A TEXT CHECK (length(CAST(Sts00A AS BLOB)) <= 1),
  Sts00U TEXT CHECK (length(CAST(Sts00U AS BLOB)) <= 1),
  Sts00S TEXT CHECK (length(CAST(Sts00S AS BLOB)) <= 1),
  Sts006 TEXT CHECK (length(CAST(Sts006 AS BLOB)) <= 1),
  sts007 TEXT CHECK (length(CAST(sts007 AS BLOB)) <= 1),
  Sts008 TEXT CHECK (length(CAST(Sts008 AS BLOB)) <= 1),
  Sts009 TEXT CHECK (length(CAST(Sts009 AS BLOB)) <= 1),
  Sts010 TEXT CHECK (length(CAST(Sts010 AS BLOB)) <= 1),
  Sts011 TEXT CHECK (length(CAST(Sts011 AS BLOB)) <= 1),
  Sts012 TEXT CHECK (length(CAST(Sts012 AS BLOB)) <= 1),
  Sts013 TEXT CHECK (length(CAST(Sts013 AS BLOB)) <= 1),
  Sts014 TEXT CHECK (length(CAST(Sts014 AS BLOB)) <= 1),
  Sts015 TEXT CHECK (length(CAST(Sts015 AS BLOB)) <= 1),
  Sts016 TEXT CHECK (length(CAST(Sts016 AS BLOB)) <= 1),
  KeyDat TEXT,
  KeyUhr TEXT CHECK (length(CAST(KeyUhr AS BLOB)) <= 6),
  KeySek TEXT CHECK (length(CAST(KeySek AS BLOB)) <= 2),
  KeyUbg TEXT CHECK (length(CAST(KeyUbg AS BLOB)) <= 5),
  KeyAug TEXT CHECK (length(CAST(KeyAug AS BLOB)) <= 4),
  MelMsk TEXT CHECK (length(CAST(MelMsk AS BLOB)) <= 3),
  MelFcd TEXT CHECK (length(CAST(MelFcd AS BLOB)) <= 3),
  MelAwn TEXT CHECK (length(CAST(MelAwn AS BLOB)) <= 8),
  MelTrm TEXT CHECK (length(CAST(MelTrm AS BLOB)) <= 2),
  MelOff TEXT CHECK (length(CAST(MelOff AS BLOB)) <= 1),
  MelFnr INTEGER,
  MelGum REAL,
  MelFam REAL,
  MelMam REAL,
  MelNam REAL,
  MelMee TEXT CHECK (length(CAST(MelMee AS BLOB)) <= 3),
  MelZt1 REAL,
  MelZt2 REAL,
  MelZt3 REAL,
  MelAec TEXT CHECK (length(CAST(MelAec AS BLOB)) <= 1),
  MelTrc TEXT CHECK (length(CAST(MelTrc AS BLOB)) <= 1),
  MelKsb TEXT CHECK (length(CAST(MelKsb AS BLOB)) <= 8),
  MelKdt TEXT,
  MelKfc TEXT CHECK (length(CAST(MelKfc AS BLOB)) <= 3),
  MelKgm REAL,
  MelKfm REAL,
  MelKmm REAL,
  MelKnm REAL,
  KeyTnr TEXT CHECK (length(CAST(KeyTnr AS BLOB)) <= 20),
  MelDat TEXT,
  MelErf TEXT CHECK (length(CAST(MelErf AS BLOB)) <= 8)
) STRICT;
CREATE INDEX Hlx560Mel_Pos ON Hlx560Mel (KeyApk, KeyApp, KeyApl, ObjTyp, (substr(KeyDat,1,4)||substr(KeyDat,6,2)||substr(KeyDat,9,2)), KeyDat,
  MelFcd, MelGum, MelFam, MelNam);

-- Shift-model assignments of workstations (AemKng 2) and workstation groups (1).
CREATE TABLE Hlx532Aem (
  AemKng INTEGER NOT NULL,
  AemApg TEXT NOT NULL CHECK (length(CAST(AemApg AS BLOB)) <= 10),
  AemGvo TEXT NOT NULL,
  AemGbi TEXT,
  AemEmo TEXT NOT NULL CHECK (length(CAST(AemEmo AS BLOB)) <= 10),
  AemBez TEXT CHECK (length(CAST(AemBez AS BLOB)) <= 30),
  AemTxt TEXT CHECK (length(CAST(AemTxt AS BLOB)) <= 10),
  AemKal TEXT CHECK (length(CAST(AemKal AS BLOB)) <= 5),
  AemLkz INTEGER,
  AemVzt INTEGER,
  AemEzt INTEGER,
  AemPrz INTEGER,
  AemAfz INTEGER,
  AemApz INTEGER,
  AemPrp INTEGER,
  AemAfp INTEGER,
  AemApp INTEGER,
  AemMaz INTEGER,
  PRIMARY KEY (AemKng, AemApg, AemGvo, AemEmo)
) STRICT;
-- The shift-model lookup by kind, workstation and validity days, with every column it reads.
CREATE INDEX Hlx532Aem_Tag ON Hlx532Aem (AemKng, AemApg, (substr(AemGvo,1,4)||substr(AemGvo,6,2)||substr(AemGvo,9,2)),
  (substr(AemGbi,1,4)||substr(AemGbi,6,2)||substr(AemGbi,9,2)), AemGvo, AemGbi, AemEmo, AemBez, AemTxt, AemKal,
  AemLkz, AemVzt, AemEzt, AemPrz, AemAfz, AemApz, AemPrp, AemAfp, AemApp, AemMaz);

-- Shift models: the day type they apply to and their begin (hours.minutes), which orders competing assignments.
CREATE TABLE Hlx533Emo (
  EmoEmo TEXT NOT NULL CHECK (length(CAST(EmoEmo AS BLOB)) <= 10),
  EmoBez TEXT CHECK (length(CAST(EmoBez AS BLOB)) <= 30),
  EmoTtp INTEGER,
  EmoBeg REAL,
  PRIMARY KEY (EmoEmo)
) STRICT;

-- Factory calendars: the day type of each day of a calendar.
CREATE TABLE Hlx133Kal (
  KalNum TEXT NOT NULL CHECK (length(CAST(KalNum AS BLOB)) <= 5),
  KalDtm TEXT NOT NULL,
  KalBtp INTEGER,
  PRIMARY KEY (KalNum, KalDtm)
) STRICT;
CREATE INDEX Hlx133Kal_Tag ON Hlx133Kal (KalNum, (substr(KalDtm,1,4)||substr(KalDtm,6,2)||substr(KalDtm,9,2)), KalBtp, KalDtm);

-- General calendar: year, month, week, weekday and day of the year of each day.
CREATE TABLE Hlx133Bak (
  BakDtm TEXT NOT NULL,
  BakJhr INTEGER,
  BakMon INTEGER,
  BakWch INTEGER,
  BakWtg INTEGER,
  BakJtg INTEGER,
  PRIMARY KEY (BakDtm)
) STRICT;
CREATE INDEX Hlx133Bak_Tag ON Hlx133Bak ((substr(BakDtm,1,4)||substr(BakDtm,6,2)||substr(BakDtm,9,2)), BakDtm, BakJhr, BakMon, BakWch,
  BakWtg, BakJtg);

-- Workstations with their workstation group AplApg.
CREATE TABLE Hlx531Apl (
  AplApl TEXT NOT NULL CHECK (length(CAST(AplApl AS BLOB)) <= 10),
  AplBez TEXT CHECK (length(CAST(AplBez AS BLOB)) <= 30),
  AplTxt TEXT CHECK (length(CAST(AplTxt AS BLOB)) <= 10),
  AplApg TEXT CHECK (length(CAST(AplApg AS BLOB)) <= 10),
  AplFbe TEXT CHECK (length(CAST(AplFbe AS BLOB)) <= 10),
  AplSts INTEGER,
  AplSis INTEGER,
  AplApr INTEGER,
  AplAaf INTEGER,
  AplUbg TEXT CHECK (length(CAST(AplUbg AS BLOB)) <= 5),
  AplUdt TEXT,
  AplTag INTEGER,
  AplVrf INTEGER,
  AplRsp REAL,
  AplRsi REAL,
  AplAfp REAL,
  AplAfi REAL,
  AplPau REAL,
  AplUnt INTEGER,
  AplIak INTEGER,
  AplAvt REAL,
  AplKap REAL,
  AplAvr REAL,
  AplAvp REAL,
  AplSt1 TEXT CHECK (length(CAST(AplSt1 AS BLOB)) <= 10),
  AplSt2 TEXT CHECK (length(CAST(AplSt2 AS BLOB)) <= 10),
  AplSt3 TEXT CHECK (length(CAST(AplSt3 AS BLOB)) <= 10),
  AplSf1 TEXT CHECK (length(CAST(AplSf1 AS BLOB)) <= 1),
  AplSf2 TEXT CHECK (length(CAST(AplSf2 AS BLOB)) <= 1),
  AplSf3 TEXT CHECK (length(CAST(AplSf3 AS BLOB)) <= 1),
  AplZf1 TEXT CHECK (length(CAST(AplZf1 AS BLOB)) <= 30),
  AplZf2 TEXT CHECK (length(CAST(AplZf2 AS BLOB)) <= 30),
  AplZf3 TEXT CHECK (length(CAST(AplZf3 AS BLOB)) <= 30),
  AplDna TEXT CHECK (length(CAST(AplDna AS BLOB)) <= 3),
  AplDwn TEXT CHECK (length(CAST(AplDwn AS BLOB)) <= 8),
  AplSta INTEGER,
  AplErf TEXT CHECK (length(CAST(AplErf AS BLOB)) <= 8),
  PRIMARY KEY (AplApl)
) STRICT;

-- Run parameters per kind and validity period.
CREATE TABLE Hlx591Nzp (
  NzpAkz INTEGER NOT NULL,
  NzpGvn TEXT NOT NULL,
  NzpGbi TEXT NOT NULL,
  NzpAak INTEGER,
  NzpAwt INTEGER,
  NzpKjh INTEGER,
  NzpKmn INTEGER,
  NzpKwo INTEGER,
  NzpKtg INTEGER,
  NzpAan INTEGER,
  NzpVfh INTEGER,
  NzpNfh INTEGER,
  NzpMrk INTEGER,
  NzpAdt TEXT,
  NzpAus TEXT CHECK (length(CAST(NzpAus AS BLOB)) <= 8),
  PRIMARY KEY (NzpAkz, NzpGvn, NzpGbi)
) STRICT;

-- Markers ("NZA": the position is due for evaluation).
CREATE TABLE Hlx563Mrk (
  MrkKng TEXT NOT NULL CHECK (length(CAST(MrkKng AS BLOB)) <= 3),
  MrkApl TEXT NOT NULL CHECK (length(CAST(MrkApl AS BLOB)) <= 10),
  MrkApk TEXT NOT NULL CHECK (length(CAST(MrkApk AS BLOB)) <= 12),
  MrkApp TEXT NOT NULL CHECK (length(CAST(MrkApp AS BLOB)) <= 5),
  MrkPnr TEXT NOT NULL CHECK (length(CAST(MrkPnr AS BLOB)) <= 8),
  MrkBnr INTEGER NOT NULL,
  MrkObj TEXT CHECK (length(CAST(MrkObj AS BLOB)) <= 3),
  MrkMdt TEXT,
  MrkEsb TEXT CHECK (length(CAST(MrkEsb AS BLOB)) <= 8),
  PRIMARY KEY (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr)
) STRICT, WITHOUT ROWID;

-- Upload rows for the planning system; PpsDat, PpsMdt and PpsMzt arrive as plain texts.
CREATE TABLE Hlx580Pps (
  PpsDat TEXT CHECK (length(CAST(PpsDat AS BLOB)) <= 14),
  PpsLfn INTEGER,
  PpsVkz TEXT CHECK (length(CAST(PpsVkz AS BLOB)) <= 3),
  PpsFcd TEXT CHECK (length(CAST(PpsFcd AS BLOB)) <= 3),
  PpsPnr TEXT CHECK (length(CAST(PpsPnr AS BLOB)) <= 8),
  PpsApl TEXT CHECK (length(CAST(PpsApl AS BLOB)) <= 10),
  PpsApk TEXT CHECK (length(CAST(PpsApk AS BLOB)) <= 12),
  PpsApp TEXT CHECK (length(CAST(PpsApp AS BLOB)) <= 5),
  PpsAwn TEXT CHECK (length(CAST(PpsAwn AS BLOB)) <= 8),
  PpsMdt TEXT CHECK (length(CAST(PpsMdt AS BLOB)) <= 8),
  PpsMzt TEXT CHECK (length(CAST(PpsMzt AS BLOB)) <= 6),
  PpsUbg TEXT CHECK (length(CAST(PpsUbg AS BLOB)) <= 5),
  PpsAug TEXT CHECK (length(CAST(PpsAug AS BLOB)) <= 4),
  PpsSts INTEGER,
  PpsSto TEXT CHECK (length(CAST(PpsSto AS BLOB)) <= 1),
  PpsGum REAL,
  PpsFam REAL,
  PpsMam REAL,
  PpsNam REAL,
  PpsMee TEXT CHECK (length(CAST(PpsMee AS BLOB)) <= 3),
  PpsZt1 REAL,
  PpsZt2 REAL,
  PpsZt3 REAL,
  PpsZf1 TEXT CHECK (length(CAST(PpsZf1 AS BLOB)) <= 10),
  PpsZf2 TEXT CHECK (length(CAST(PpsZf2 AS BLOB)) <= 20),
  PpsZf3 TEXT CHECK (length(CAST(PpsZf3 AS BLOB)) <= 30)
) STRICT;

-- Number ranges ("PPSNR": the upload number).
CREATE TABLE Hlx552Bnr (
  BnrKey TEXT NOT NULL CHECK (length(CAST(BnrKey AS BLOB)) <= 7),
  BnrBnr INTEGER,
  BnrEdt TEXT,
  BnrEsb TEXT CHECK (length(CAST(BnrEsb AS BLOB)) <= 8),
  PRIMARY KEY (BnrKey)
) STRICT;

-- Error protocol; several rows per position are normal, so no unique key.
CREATE TABLE Hlx554Err (
  ErrErf TEXT CHECK (length(CAST(ErrErf AS BLOB)) <= 8),
  ErrEdt TEXT,
  ErrBer TEXT CHECK (length(CAST(ErrBer AS BLOB)) <= 3),
  ErrPnr TEXT CHECK (length(CAST(ErrPnr AS BLOB)) <= 8),
  ErrApl TEXT CHECK (length(CAST(ErrApl AS BLOB)) <= 10),
  ErrApk TEXT CHECK (length(CAST(ErrApk AS BLOB)) <= 12),
  ErrApp TEXT CHECK (length(CAST(ErrApp AS BLOB)) <= 5),
  ErrFnr INTEGER,
  ErrBnr INTEGER,
  ErrPgm TEXT CHECK (length(CAST(ErrPgm AS BLOB)) <= 10),
  ErrFun TEXT CHECK (length(CAST(ErrFun AS BLOB)) <= 3),
  ErrDat TEXT,
  ErrObj TEXT CHECK (length(CAST(ErrObj AS BLOB)) <= 3)
) STRICT;
CREATE INDEX Hlx554Err_Pos ON Hlx554Err (ErrApk, ErrApp);
