#pragma once

namespace corvane {

class Choosers;
class FileSender;

// "U&pload": the user picks an existing text file and it is played to the
// server line by line. A file that cannot be read is passed over in silence.
void UploadFile(Choosers& choosers, FileSender& sender);

} // namespace corvane
