#include "macros/upload.h"

#include "macros/file_sender.h"
#include "platform/choosers.h"

namespace corvane {

void UploadFile(Choosers& choosers, FileSender& sender) {
    FileChoice choice;
    choice.title = "Upload File";
    choice.filters =
        parseFileFilters("Text files (*.txt)|*.txt|Macro files (*.cmd)|*.cmd|All files (*.*)|*.*");
    choice.mustExist = true;
    if (const std::optional<std::string> path = choosers.chooseFile(choice)) {
        sender.SendFile(*path);
    }
}

} // namespace corvane
