// The built-in tutorial scripts, one per language; only English has one, the others run the fixed sequence.
#include "ui/startup/keyboard_pos_script.h"

namespace {

const char english_script[] =
    "// Built-in shop demonstration. A card with POSDemo.txt in its root replaces it.\r\n"
    "CHAPTER MAIN\r\n"
    "SET CVEW 35\r\n"
    "BALLOON 420,300,330,3,\"Welcome\"\r\n"
    "Chart and sonar side by side:\r\n"
    "[BULLET]see the fish under the boat\r\n"
    "[BULLET]and where you are on the lake\r\n"
    "ENDBALLOON\r\n"
    "EXITMESSAGEBOX\r\n"
    "WAIT 8\r\n"
    "NOBALLOON\r\n"
    "SET CVEW 25\r\n"
    "BALLOON 420,300,330,3,\"Birds Eye View\"\r\n"
    "A three-dimensional view of the\r\n"
    "bottom ahead of the boat.\r\n"
    "[VSPACE 4]Press > for the keys of the unit.\r\n"
    "ENDBALLOON\r\n"
    "MOREINFO KEYS\r\n"
    "WAIT 10\r\n"
    "ENDMOREINFO\r\n"
    "NOBALLOON\r\n"
    "SET CVEW 49\r\n"
    "BALLOON 420,300,330,2,\"Sonar View\"\r\n"
    "Fish, structure and the bottom\r\n"
    "as the boat moves over them.\r\n"
    "ENDBALLOON\r\n"
    "WAIT 10\r\n"
    "NOBALLOON\r\n"
    "KEY MENU\r\n"
    "WAIT 3\r\n"
    "KEY EXIT\r\n"
    "WAIT 1\r\n"
    "ENDCHAPTER\r\n"
    "\r\n"
    "CHAPTER KEYS\r\n"
    "NOBALLOON\r\n"
    "BALLOON 420,300,330,4,\"Keys\"\r\n"
    "[BULLET]VIEW steps through the views\r\n"
    "[BULLET]MENU opens the settings\r\n"
    "[BULLET]MARK saves a waypoint\r\n"
    "[BULLET][HSPACE 0]Soft keys keep your favourite views\r\n"
    "ENDBALLOON\r\n"
    "WAIT 10\r\n"
    "NOBALLOON\r\n"
    "ENDCHAPTER\r\n";

}  // namespace

const TUTORIAL_DATA s_internalScripts[POS_SCRIPT_LANGUAGES] = {
    {reinterpret_cast<const BYTE *>(english_script), sizeof english_script - 1},
};
