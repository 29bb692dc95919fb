// Commands whose canvas, document or online operations are not there yet.
// Each slot is declared and connected to its action, and does nothing (or
// only refreshes the action states, where it does so without a view) until
// the operation it forwards to exists. Replace the body, not the slot.

#include "CMainFrame.h"

#include "CSVGView.h"
#include "SvgCodes.h"

// ---- Not yet forwarding: later work builds these ----------------------------

