// Who is on the line: identify, then the internal software version, then
// the instrument's name built from both. The main screen's poller, the
// firmware upgrade and `vgx52ctl identify` all ask this way.
#pragma once

#include "korvi70/attempts.h"
#include "korvi70/model_names.h"

namespace korvi70 {

struct Identity {
    int typeCode = 0;
    int softwareVersion = 0;  // 0 when the instrument did not give it
    char name[Korvi70_RozmiarNazwyPrzyrzadu] = {};
};

// Identify (repeated by the attempt rule); when it answered, the software
// version (likewise; a failed read leaves the version out rather than
// showing whatever part of it arrived) and the name. The identify's result:
// kDone, or the failure with *identity left empty.
int IdentifyInstrument(unsigned char destination, Identity *identity, int attempts = kProgramAttempts);

}  // namespace korvi70
