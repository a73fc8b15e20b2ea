#include "korvi70/identify.h"

#include "korvi70/generic_commands.h"
#include "korvi70/loader_commands.h"

namespace korvi70 {

int IdentifyInstrument(unsigned char destination, Identity *identity, int attempts) {
    *identity = Identity();
    int type = 0;
    const int rc = WithAttempts([&] { return Korvi70_PrzedstawSie(destination, &type); }, attempts);
    if (rc != kDone) return rc;
    int version = 0;
    if (WithAttempts([&] { return Korvi70_PodWerOprogWewn(destination, &version); }, attempts) != kDone) version = 0;
    identity->typeCode = type;
    identity->softwareVersion = version;
    ExpandInstrumentName(type, version, identity->name, sizeof identity->name);
    return kDone;
}

}  // namespace korvi70
