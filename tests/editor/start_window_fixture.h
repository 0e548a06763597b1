#pragma once
// The start window over a fresh working folder: what the tests of the start window and of the
// whole-test operations stand on.
#include "editor/TForm3.h"
#include "tests/harness/harness.h"

#include <memory>

namespace editor_tests {

class StartWindowTest : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        form = std::make_unique<korvel::TForm3>(services(), unit3);
        form->setWorkingFolder(work());
    }
    void TearDown() override {
        form.reset();
        SuiteTest::TearDown();
    }

    korvel::Unit3_korvel unit3;
    std::unique_ptr<korvel::TForm3> form;
};

}  // namespace editor_tests
