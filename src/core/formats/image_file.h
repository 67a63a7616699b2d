#pragma once
// BIN and CLA images: flat copies of the NOR from address 0, read and written whole.
// The two extensions name the same format. These readers and writers show their own
// error boxes (context text, one space, the detail) and return a success flag.

#include <cstdint>
#include <string>

namespace brantle {

class Ui;
class TDIFFile;

// context is the text that prefixes an error message, e.g. the text of
// ErrC_Operation_Aborted. On failure image is empty and the window is back to idle.
bool ReadImageFile(Ui& ui, const std::string& fileName, const std::string& context,
                   std::string& image);

// The same for a file that may hold at most maxSize bytes: a longer one is not read
// and nothing is shown; the result is false with tooLarge set.
bool ReadImageFileUpTo(Ui& ui, const std::string& fileName, const std::string& context,
                       uint64_t maxSize, std::string& image, bool& tooLarge);

// Replaces the file; an existing file that may not be written is left alone and
// reported as "could not create file".
bool WriteImageFile(Ui& ui, const std::string& fileName, const std::string& image,
                    const std::string& context);

// Writes the flat image of the DIF's "NORD" data (0xFF where no block lies) without
// building it in memory: the same file as applying the DIF to an empty image and
// writing that. The DIF is optimised first.
bool WriteImageOfDif(Ui& ui, const std::string& fileName, TDIFFile& dif,
                     const std::string& context);

}  // namespace brantle
