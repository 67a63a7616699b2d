#pragma once
// Every window test class registers itself here; one executable runs them all.

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace brantle::test {

using GuiTestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<GuiTestFactory>& GuiTests() {
  static std::vector<GuiTestFactory> tests;
  return tests;
}

template <typename Test>
struct RegisterGuiTest {
  RegisterGuiTest() {
    GuiTests().push_back([] { return std::make_unique<Test>(); });
  }
};

}  // namespace brantle::test

#define BRANTLE_GUI_TEST(Test) static const brantle::test::RegisterGuiTest<Test> register##Test;
