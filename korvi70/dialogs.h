// The Korvi70 library's dialogs: choosing the serial port, giving an
// instrument its ID, and the I/O editor. Each is a modal popup with its own
// event loop; the port and ID dialogs load their panels from the panel file
// the connection configuration names, the editor from "Korvi70G.Uir".
#pragma once
#include "korvi70.h"  // Korvi70_WybNrZl, Korvi70_NadNrId, Korvi70_EdytorWeWy
