#pragma once
// Where the programs' files live, and how the paths they build are turned
// into paths of this system.
//
// The programs build paths the way they always have: the program folder,
// followed by "\DBASE\", "\HELP\", "\PROTOCOL\", "\CMD\" or "\dtb-%.2x.db3",
// joined with '\'. Here the program folder is an ordinary absolute path
// ("/opt/plintvlr"), so such a path is that folder followed by the tail with
// every '\' read as '/'.
//
// Drive letters. The folders these programs build never carry a drive; a
// drive prefix can only come from a file written on another system (a stored
// path, a name typed by hand). There is one file tree here, so a drive prefix
// ("C:", any letter, either case) stands for its root: "C:\Images\pump.bmp"
// is "/Images/pump.bmp", "C:" alone is "/". A drive-relative name ("C:pump.bmp")
// keeps its relative rest ("pump.bmp").
//
// Drive roots. Where the programs cut a root folder of three characters
// ("C:\") to its drive ("C:") so that a join gets one separator, use
// ShortenDriveRoot or ProgramPath instead of a length test: "/qs" is three
// characters long and is not a root.

#include <string>
#include <string_view>

// The folder of the running program (from /proc/self/exe), without a trailing
// separator. The environment variable PLV_PROGRAM_DIR, when set and not empty,
// takes its place (tests and the run script use it).
std::string ProgramFolder();

// The folder of profile files given by bare name ("PLINTVLR.INI",
// "QSTRANS.INI"), shared by the configuration and the transfer program:
// PLV_PROFILE_DIR when set and not empty, else $XDG_CONFIG_HOME/plintvlr
// (when that is an absolute path), else ~/.config/plintvlr. Created when
// missing; the answer is the path even when it could not be created.
std::string ProfileFolder();

// A name as the programs write it ('\' separators, maybe a drive prefix)
// turned into a path of this system ('/' separators, no drive). Letter case
// is kept: the file layer (ResolvePath) matches names without regard to case.
std::string ToPosixPath(std::string_view name);

// True for a name that does not depend on the working directory: one that
// starts with a separator ('/' or '\') or with a drive ("C:"). Use it where
// the programs test a name for ':' to tell a full path from a relative one.
bool IsAbsolutePath(std::string_view name);

// True for a name without any folder part (no '/', '\' or drive): such a
// profile file name means the file in ProfileFolder().
bool IsBareName(std::string_view name);

// A folder ready to have "\tail" appended with exactly one separator at the
// join: a root ("/", "C:\", "C:/") loses its trailing separator ("", "C:"),
// any other folder its trailing separators, if it has any.
std::string ShortenDriveRoot(std::string_view folder);

// The program folder joined with a tail as the programs write it
// ("\HELP\PLINTVLR.HLP", "DBASE\LINE1", "\CMD\"), as a path of this system:
// one separator at the join, a trailing separator of the tail kept.
std::string ProgramPath(std::string_view tail);

// The same join for any folder: JoinPath("/opt/qs/", "\DBASE\X") is
// "/opt/qs/DBASE/X". An empty folder gives the tail alone.
std::string JoinPath(std::string_view folder, std::string_view tail);
