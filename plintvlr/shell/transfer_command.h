#pragma once
// The Transfer command: the road from the project to the panel. It refuses a
// project too large for its panel, tidies the message text pool, compiles
// the project into its panel database file, writes the hand-off file
// "QSTRANS.INI" for the transfer program and starts that program.

#include <array>
#include <cstdint>
#include <string>

class MDIFrame;

// What the hand-off file tells the transfer program about a project.
struct THandOff {
    std::string databasePath;  // the project folder, with a trailing separator
    std::string databaseName;  // name + ".DTB"
    std::string protocolPath;  // the protocol drivers' folder
    std::string systemPath;    // the panel system software's folder
    std::string quellstorType; // the panel family code
};
THandOff HandOffFor(const std::string& projectName, int panelType);

// The highest key compiled per project table (entry t - 1 for table t; 0 no
// limit). Message tables are not capped: they run far beyond the overview
// groups' count; overview groups get their own limit.
std::array<std::uint32_t, 16> TransferLimits(int panelType);

// Runs the command on the open project.
void RunTransfer(MDIFrame& frame);
// Registers Transfer with the frame.
void RegisterTransferCommand();
