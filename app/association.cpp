#include "app/association.h"

#include <cstdio>

#include "app/constants.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/textfile.h"
#include "toolvane/folders.h"
#include "toolvane/system_info.h"
#include "ui/failed_write.h"
#include "ui/ui.h"

namespace {

// The launcher's associations file is there, as a file (not a folder or a
// pipe in its place).
bool PlainFileThere(const std::string &hostPath) {
    std::FILE *file = platform::OpenRegularFile(hostPath);
    if (file) std::fclose(file);
    return file != nullptr;
}

}  // namespace

namespace app {

std::string AssociationRecord(const char *programFile, const char *iconFile) {
    char typeCode[8];
    std::snprintf(typeCode, sizeof typeCode, "%04X", kInstrumentTypeCode & 0xFFFF);
    std::string record;
    record += "\n# ";
    record += typeCode;
    record += "\tGUID:";
    record += kAssociationGuid;
    record += "\tProgram:\"";
    record += programFile ? programFile : "";
    record += "\"";
    record += "\tIcon:\"";
    record += iconFile ? iconFile : "";
    record += "\"";
    record += "\tLabel:\"";
    record += kProgramLabel;
    record += ", software version: ";
    record += kProgramVersion;
    record += "\"";
    record += "\n";
    return record;
}

std::string AssociationsFilePath(int major, int minor) {
    const char *folder = nullptr;
    if (major == 5 && (minor == 0 || minor == 1))
        folder = toolvane::kDataFolderXp;
    else if (major >= 6)
        folder = toolvane::kDataFolderVista;
    if (folder == nullptr) return std::string();
    return std::string(folder) + "\\" + kAssociationsFileName;
}

}  // namespace app

int Fun_WriteAssociation() {
    int major = 0, minor = 0;
    platform::GetWinOSVersion(&major, &minor);
    const std::string path = app::AssociationsFilePath(major, minor);

    const std::string host = platform::HostPath(path);
    platform::TextFileWriter file;
    bool written = !path.empty() && file.Open(host, platform::TextFileWriter::Mode::Append, platform::Encoding::Cp1250);
    if (written) {
        written = file.Write(app::AssociationRecord(Toolvane_ZbiorProgramu, Toolvane_ZbiorIkony));
        // A record that did not reach the disk must not be reported as written.
        written = (file.Close() == 0) && written;
    }
    if (written) return 0;
    // The launcher's file is there but refuses the record (another user's
    // file, a full disk): reinstalling the launcher would not help.
    if (!path.empty() && PlainFileThere(host)) {
        ui::ReportFailedWrite(host, file.Reason());
    } else {
        ui::MessagePopup("An error occurred",
                         "Uninstall this software, install BRANDOLUX USB SoftWare luncher, and "
                         "after that install this software again");
    }
    return 1;
}
