#pragma once
// Whether a file named by a person can be read as an input (a firmware image, a DIF,
// an S3 or TFS file), and if not, why, in the words the person sees: one line naming
// the file and the reason, from the language tables. Every way a front end takes an
// input file (a file dialog, a typed or pasted path, a file dropped from a file
// manager, a command-line argument) asks this one question, so a file is refused the
// same way however it was given.

#include <string>

#include "ui/ui.h"

namespace brantle {

// Whether a file without a byte is an input. An empty image or DIF holds nothing to
// use; a TFS file of a pair whose CFG lists only folders is empty and whole.
enum class EmptyInput { Refused, Accepted };

// Empty when path names a regular file this process may read (and, unless empty says
// otherwise, that holds a byte); otherwise the line to show, e.g.
// "fw.bin: No such file or directory", "fw.bin: is a folder".
std::string InputFileProblem(const std::string& path, EmptyInput empty = EmptyInput::Refused);

// Why path could not be opened as an input, naming it ("fw.bin: permission denied");
// the table's "could not open file" where the system says nothing more.
std::string OpenFailure(const std::string& path);

// InputFileProblem with its answer shown: true for a usable file, otherwise false after
// an error box with the problem.
bool AcceptInputFile(Ui& ui, const std::string& path, EmptyInput empty = EmptyInput::Refused);

}  // namespace brantle
