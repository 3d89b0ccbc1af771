#pragma once
// How korvimand-admin shows a text of the suite: the message log's and the
// database's texts are single-byte Windows-1252.
#include <string>
#include <string_view>

// The text in UTF-8, with CR, LF and other control bytes
// (and, in raw bytes, the start mark) escaped so that one entry stays one row.
std::string anzeigeText(std::string_view v, bool roh);
