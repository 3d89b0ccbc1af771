#pragma once
// The database password: never shown, never left in a core dump.
#include <cstddef>
#include <string>
#include <string_view>

// NET8 (a connection target) as it may be shown: every password in it
// replaced by "***", in each form the PostgreSQL client takes: in a URI
// "user:PASSWORD@host" and "?password=PASSWORD" (or "&password="), in a
// key-value string "password=PASSWORD" (or 'QUOTED', blanks around "="),
// and the same of "sslpassword".
std::string Geheim_Net8Anzeige(std::string_view net8);

// Makes the process one that leaves no core dump and that other processes
// of the user cannot read the memory of; called before a password is
// decrypted.
void Geheim_NichtAbbildbar() noexcept;

// Overwrites a plain-text secret so that it is no longer in memory.
void Geheim_Loeschen(void* s, std::size_t n) noexcept;
void Geheim_Loeschen(std::string& s) noexcept;
