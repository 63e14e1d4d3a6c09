#pragma once
// The text the programs show for a file that could not be opened, read or
// written: the file's name and the system's reason, as in
// "/plant/DBASE/LINE1/LINE1.DTB: No such file or directory".

#include <string>
#include <string_view>

// `error` is the system's error number (errno) of the failed call.
std::string FileErrorText(std::string_view name, int error);
