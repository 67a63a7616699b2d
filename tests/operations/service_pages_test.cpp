// What the explanatory pages show for each family and mode.

#include "operations/service_pages.h"

#include <gtest/gtest.h>

#include "lang/lang_get.h"

namespace brantle {
namespace {

TEST(ServicePages, EachFamilyPageOffersItsButtonsOnlyForItsFamily) {
  const struct {
    ServicePage page;
    const char* text;
    FamilyPanel family;
  } pages[] = {{ServicePage::S500, "Lbl_S500_Service", FamilyPanel::S500},
               {ServicePage::Opti, "Lbl_Opti_Service", FamilyPanel::Opti},
               {ServicePage::Tfs, "Lbl_TFS_Operations", FamilyPanel::Tfs}};
  for (const auto& p : pages) {
    EXPECT_STREQ(ServicePageTextKey(p.page), p.text);
    for (FamilyPanel panel : {FamilyPanel::Tfs, FamilyPanel::S500, FamilyPanel::Opti})
      EXPECT_EQ(ServiceButtonsShown(p.page, panel), panel == p.family) << p.text;
  }
  EXPECT_STREQ(ServicePageTextKey(ServicePage::Dif), "Lbl_Service");
  for (FamilyPanel panel : {FamilyPanel::Tfs, FamilyPanel::S500, FamilyPanel::Opti})
    EXPECT_TRUE(ServiceButtonsShown(ServicePage::Dif, panel));
}

TEST(ServicePages, TheFileManagerTextNamesTheButtonOrHowToShowIt) {
  EXPECT_EQ(TfsManagerText(true, "/home/tech/.config/brantle/brntl.ini"),
            "The TFS File Manager opens with the \"Dev-TFSM\" button at the bottom of the window.");
  EXPECT_EQ(TfsManagerText(false, "/home/tech/.config/brantle/brntl.ini"),
            "The TFS File Manager opens with the \"Dev-TFSM\" button, which the window shows in "
            "developer mode only. To turn it on, close the program, set Developer_Mode=1 in the "
            "[Settings] section of /home/tech/.config/brantle/brntl.ini and start the program "
            "again.");
}

}  // namespace
}  // namespace brantle
