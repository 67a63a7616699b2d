#include "engine/status_texts.h"

namespace brantle {

const std::array<StatusTextKey, 17> kStatusTextKeys = {{
    {"KTZ_Time_Out", &EStatusTexts::TimeOut},
    {"KTZ_Waiting", &EStatusTexts::Waiting},
    {"KTZ_Writing_Data", &EStatusTexts::WritingData},
    {"KTZ_Reading_Data", &EStatusTexts::ReadingData},
    {"KTZ_Turn_On_The_Phone", &EStatusTexts::TurnOnThePhone},
    {"KTZ_Sending_Loader", &EStatusTexts::SendingLoader},
    {"KTZ_Waiting_For_Flash_ID", &EStatusTexts::WaitingForFlashID},
    {"KTZ_Flashing_At", &EStatusTexts::FlashingAt},
    {"KTZ_CRC_Error_Retry", &EStatusTexts::CRCErrorRetry},
    {"KTZ_CRC_Error_Retry_At", &EStatusTexts::CRCErrorRetryAt},
    {"KTZ_Reading_At", &EStatusTexts::ReadingAt},
    {"KTZ_TFS_Initializing", &EStatusTexts::TFSInitializing},
    {"KTZ_TFS_Processing", &EStatusTexts::TFSProcessing},
    {"KTZ_TFS_Sending", &EStatusTexts::TFSSending},
    {"KTZ_Formatting_NAND", &EStatusTexts::FormattingNAND},
    {"KTZ_Reading_NAND_Block", &EStatusTexts::ReadingNANDBlock},
    {"KTZ_Writing_NAND_Block", &EStatusTexts::WritingNANDBlock},
}};

}  // namespace brantle
