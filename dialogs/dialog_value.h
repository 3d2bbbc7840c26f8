// The one value that the page jump, move and options dialogs hand in and out while one of
// them is open: the page for the page jump, the source slot for the move, the start page for
// the options. They are modal, so at most one of them uses it at a time.
#pragma once

inline int DialogValue = 0;
