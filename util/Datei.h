#pragma once
// Opening files that another user of a shared folder may have planted: a
// link, a pipe or a device in place of a file must neither hang the program
// nor redirect what it writes.
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

// The errno a path that is no regular file gives (a pipe, a device, a
// folder); Datei_Grund shows it as such.
inline constexpr int kDateiKeineDatei = ENODEV;

// A descriptor for reading a regular file, or -errno. Opened without
// blocking (a pipe without a writer, a device) and without taking a
// terminal; anything but a regular file is refused with kDateiKeineDatei.
int Datei_LesenOeffnen(const std::string& path);
// Checks that an open descriptor is a regular file: 0 or an errno.
int Datei_Regulaer(int fd);

// A descriptor for appending to a regular file (created when asked to),
// or -errno: a link at the file is not followed (ELOOP), nor a link at its
// folder that someone else made (one the user or root made is followed), a
// pipe or a device is refused without waiting (kDateiKeineDatei).
int Datei_AnhaengenOeffnen(const std::string& path, bool create);

// Replaces the file at path by these bytes, whole or not at all, with this
// mode: written to a new file of its own in the same folder (never through
// a link, never into a file that is already there), made durable, then
// renamed over path. 0 or the errno of the failure; nothing is left behind.
int Datei_Ersetzen(const std::string& path, std::string_view bytes, mode_t mode);

// The reason to show for an errno of these functions.
const char* Datei_Grund(int e);
