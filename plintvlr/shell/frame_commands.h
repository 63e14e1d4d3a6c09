#pragma once
// Command ids of the main frame's menu (menu resource 99) and accelerators.

#include "platform/base/win_types.h"

inline constexpr int IDM_MAINFRAME = 99;      // menu and accelerator table of the frame
inline constexpr const char* IDI_ZOBREL = "ZOBREL";  // the frame's icon

// File
inline constexpr UINT CM_NEWPROJECT = 3001;
inline constexpr UINT CM_OPENPROJECT = 2007;
inline constexpr UINT CM_OPENDTBFILE = 2032;
inline constexpr UINT CM_CLOSEWINDOW = 11107;
inline constexpr UINT CM_SAVERECORD = 3002;
inline constexpr UINT CM_SAVEPROJECTAS = 2031;
inline constexpr UINT CM_SAVEALL = 3003;
inline constexpr UINT CM_DELETERECORD = 3011;
inline constexpr UINT CM_EXPORT = 2016;
inline constexpr UINT CM_IMPORT = 2001;
inline constexpr UINT CM_PRINTGRAPHICS = 10112;
inline constexpr UINT CM_PRINTTEXT = 10111;
inline constexpr UINT CM_PRINTERSETUP = 2005;
inline constexpr UINT CM_PREFERENCES = 2018;
inline constexpr UINT CM_EXIT = 2008;
// Edit
inline constexpr UINT CM_UNDO = 24321;
inline constexpr UINT CM_CUT = 24322;
inline constexpr UINT CM_COPY = 24323;
inline constexpr UINT CM_PASTE = 24324;
inline constexpr UINT CM_DELETESELECTION = 7480;
inline constexpr UINT CM_SELECTALL = 19983;
// View
inline constexpr UINT CM_NEWRECORD = 2990;
inline constexpr UINT CM_PREVIOUSRECORD = 11103;
inline constexpr UINT CM_NEXTRECORD = 11104;
inline constexpr UINT CM_BROWSER = 11109;
inline constexpr UINT CM_MAINTOOLBAR = 11100;
inline constexpr UINT CM_GRAPHICSTOOLBAR = 11108;
// Project
inline constexpr UINT CM_CLOSEPROJECT = 11105;
inline constexpr UINT CM_GRAPHICPAGES = 2003;
inline constexpr UINT CM_PROTOCOLTYPE = 2010;
inline constexpr UINT CM_COMMSBLOCKS = 2020;
inline constexpr UINT CM_TAGS = 2021;
inline constexpr UINT CM_MESSAGETABLES = 2028;
inline constexpr UINT CM_RECIPEGROUPS = 21721;
inline constexpr UINT CM_OVERVIEWGROUPS = 2022;
// Quellstor
inline constexpr UINT CM_CLOCKCOMMS = 12000;
inline constexpr UINT CM_PAGECHANGE = 964;
inline constexpr UINT CM_SYSTEMSETTINGS = 2004;
inline constexpr UINT CM_SYSTEMKEYS = 2023;
inline constexpr UINT CM_PASSWORDS = 2012;
inline constexpr UINT CM_COMMPORT1 = 2024;
inline constexpr UINT CM_COMMPORT2 = 2014;
inline constexpr UINT CM_TRANSFER = 2017;
// Layout
inline constexpr UINT CM_GROUP = 19990;
inline constexpr UINT CM_UNGROUP = 19991;
inline constexpr UINT CM_ALIGNLEFT = 19973;
inline constexpr UINT CM_ALIGNTOP = 19974;
inline constexpr UINT CM_ALIGNRIGHT = 19975;
inline constexpr UINT CM_ALIGNBOTTOM = 19976;
inline constexpr UINT CM_ALIGNHCENTER = 8977;
inline constexpr UINT CM_ALIGNVCENTER = 8978;
inline constexpr UINT CM_EDITZORDER = 21900;
inline constexpr UINT CM_SHUFFLE = 7561;
inline constexpr UINT CM_SENDTOBACK = 21902;
inline constexpr UINT CM_ADDTEMPLATE = 18990;
inline constexpr UINT CM_DELETETEMPLATE = 18991;
inline constexpr UINT CM_GOTOTEMPLATE = 18992;
inline constexpr UINT CM_BACKTOMASTER = 18993;
inline constexpr UINT CM_EMBEDCOMMS = 3151;
inline constexpr UINT CM_SETGRID = 12345;
inline constexpr UINT CM_GRIDON = 21906;
inline constexpr UINT CM_HIDEGRIDLINES = 21911;
inline constexpr UINT CM_TOUCHGRID = 7581;
inline constexpr UINT CM_ANIMATION = 7591;
inline constexpr UINT CM_ZOOMIN = 11101;
inline constexpr UINT CM_ZOOMOUT = 11102;
// Graphics
inline constexpr UINT CM_ADDTEXT = 308;
inline constexpr UINT CM_ADDTAGDISPLAY = 1101;
inline constexpr UINT CM_ADDMESSAGE = 10109;
inline constexpr UINT CM_CHOOSEFONT = 9561;
inline constexpr UINT CM_ADDLINES = 10114;
inline constexpr UINT CM_ADDFRAME = 21400;
inline constexpr UINT CM_ADDCIRCLE = 21401;
inline constexpr UINT CM_ADDRECTANGLE = 21402;
inline constexpr UINT CM_ADDBITMAP = 3111;
inline constexpr UINT CM_ADDTREND = 3131;
inline constexpr UINT CM_ADDTRENDRECORDER = 21200;
inline constexpr UINT CM_ADDMETER = 10120;
inline constexpr UINT CM_ADDTOUCHREGION = 3121;
inline constexpr UINT CM_ADDPUSHBUTTON = 10110;
inline constexpr UINT CM_ADDDRIVEOUT = 3101;
inline constexpr UINT CM_SELECTGRAPHICS = 306;
// Help
inline constexpr UINT CM_HELPCONTENTS = 24342;
inline constexpr UINT CM_HELPSEARCH = 2025;
inline constexpr UINT CM_HELPONHELP = 2015;
inline constexpr UINT CM_CURRENTTOPIC = 9;
inline constexpr UINT CM_ABOUT = 2026;

// Not in the menu: the project database's size check, posted to the frame.
inline constexpr UINT CM_CHECKSIZE = 33168;
// Private message to the frame: the protocol of a channel (wParam 1 to 4).
inline constexpr UINT WM_QUERYPORTSETTING = 0x8001;
// Asked of the protocol sheet's "Protocol/Printer" child (wParam 3 or 4).
inline constexpr UINT WM_QUERYEDITEDPROTOCOL = 0x594;
