// Where a text's Japanese twin sits in a string table: at the English
// text's identifier plus this offset. A macro, because the resource scripts
// use it as well as the program.
#pragma once

#define IDS_JAPANESE_OFFSET 0x1000
