#include "operations/service_pages.h"

#include "lang/fill_text.h"
#include "lang/lang_get.h"

namespace brantle {

const char* ServicePageTextKey(ServicePage page) {
  switch (page) {
    case ServicePage::S500:
      return "Lbl_S500_Service";
    case ServicePage::Opti:
      return "Lbl_Opti_Service";
    case ServicePage::Tfs:
      return "Lbl_TFS_Operations";
    case ServicePage::Dif:
      break;
  }
  return "Lbl_Service";
}

bool ServiceButtonsShown(ServicePage page, FamilyPanel panel) {
  switch (page) {
    case ServicePage::S500:
      return panel == FamilyPanel::S500;
    case ServicePage::Opti:
      return panel == FamilyPanel::Opti;
    case ServicePage::Tfs:
      return panel == FamilyPanel::Tfs;
    case ServicePage::Dif:
      break;
  }
  return true;
}

std::string TfsManagerText(bool developerButtonsShown, const std::string& settingsFile) {
  return FillText(
      LangGet(developerButtonsShown ? "Win_TFS_Manager_Button" : "Win_TFS_Manager_Hidden"),
      {{"button", LangGet("Win_Dev_TFSM")}, {"file", settingsFile}});
}

}  // namespace brantle
