#pragma once
// The six buttons of the offline service as the window runs them: each asks for its
// files through the frame's dialogs (remembering a folder per purpose), takes the DIF
// parameters where it writes a DIF, and writes only once the last dialog of its step
// has been accepted. Each returns true when it wrote everything it was asked for.

#include "operations/create_dif_dialog.h"
#include "operations/operation_frame.h"
#include "ui/ui.h"

namespace brantle {

// "Create DIF file from BIN/DIF/TFS...": the front end runs the dialog on the model
// and calls this afterwards; nothing happens unless the dialog was confirmed.
bool CreateDIFClick(OperationFrame& frame, TKTZDCF& dialog);

// "Apply DIF file(s) to BIN/TFS...".
bool UnpackDIFClick(OperationFrame& frame);

// "Convert S3 to BIN/DIF..." and "Convert BIN+OGM to BIN/DIF...". A DIF output takes
// its comment and compression from the shared parameters (the create dialog's).
bool S3toBDClick(OperationFrame& frame, DifParametersDialog& parameters);
bool S500toBDClick(OperationFrame& frame, DifParametersDialog& parameters);

// "Convert BIN/DIF to S3..." and "Convert BIN/DIF to BIN+OGM...".
bool BDtoS3Click(OperationFrame& frame);
bool BDtoS500Click(OperationFrame& frame);

}  // namespace brantle
