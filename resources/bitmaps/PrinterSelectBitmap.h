// Bitmaps of the printer selection dialog.
#pragma once

#define IDB_PRINTER_SELECT_PICTURE 160 // receipt printer drawn on a white (see-through) ground
