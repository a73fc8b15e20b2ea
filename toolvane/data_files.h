// TYP1 data files: tables of reals read into column arrays under a progress
// popup with a stop button, the free-text comment block read into text
// boxes, and the nominal characteristics of three resistance thermometers
// kept as TYP1 files.
//
// A TYP1 file is text (Windows-1250, at most 600 characters a line) whose
// lines starting with "#" carry a keyword: "#TYP 1", "#KodProgramu CODE",
// "#STARTKOMEN" ... "#ENDKOMEN" around the comment lines, "#DANE N x R",
// then one "#" line per table row with N reals.
//
// A line longer than 600 characters is read as its first 600; the rest of
// it is passed over, never taken for a line of its own, and a row's value
// that the limit cuts is not read (it stays the fill value). A read error
// part-way ends the read with the rows read so far and the message a file
// that cannot be read gives. The popups' stop button, or their window's
// close button, ends a read after the line under way, keeping its rows.
#pragma once
#include "toolvane.h"  // the readers, the sensor table and the nominal characteristic
